// Coefficients of the resonators from frequency and bandwidth.
#include "engines/synth_filter.h"

#include <algorithm>
#include <cmath>

namespace varlo {
namespace {

constexpr float kPi = 3.14159265358979f;

struct Poles {
  float b, c, r, theta;
};

// Keeps the pole pair below Nyquist and stable whatever the data says.
Poles poles(float hz, float bandwidth, float sampleRate) {
  hz = std::clamp(hz, 1.0f, sampleRate * 0.49f);
  bandwidth = std::max(bandwidth, 1.0f);
  float r = std::exp(-kPi * bandwidth / sampleRate);
  float theta = 2 * kPi * hz / sampleRate;
  return {2 * r * std::cos(theta), -r * r, r, theta};
}

}  // namespace

void tuneResonator(Resonator& res, float hz, float bandwidth, float sampleRate) {
  Poles p = poles(hz, bandwidth, sampleRate);
  res.b = p.b;
  res.c = p.c;
  res.a = 1 - p.b - p.c;
}

void tunePeakResonator(Resonator& res, float hz, float bandwidth, float sampleRate) {
  Poles p = poles(hz, bandwidth, sampleRate);
  res.b = p.b;
  res.c = p.c;
  // |1 - b z^-1 - c z^-2| at the pole angle.
  float re = 1 - p.b * std::cos(p.theta) - p.c * std::cos(2 * p.theta);
  float im = p.b * std::sin(p.theta) + p.c * std::sin(2 * p.theta);
  float difference = 2 * std::sin(p.theta / 2);
  res.a = std::sqrt(re * re + im * im) / difference;
}

void tuneAntiResonator(AntiResonator& res, float hz, float bandwidth, float sampleRate) {
  Poles p = poles(hz, bandwidth, sampleRate);
  float a = 1 - p.b - p.c;
  res.a = 1 / a;
  res.b = -p.b / a;
  res.c = -p.c / a;
}

void settle(Resonator& r) {
  if (std::fabs(r.y1) + std::fabs(r.y2) < 1e-15f) r.y1 = r.y2 = 0;
}

}  // namespace varlo
