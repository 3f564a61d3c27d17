// Measurements on synthesized speech for the synthesizer's tests: level,
// formants by linear prediction, pitch by autocorrelation.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace varlo::test {

inline double rmsOf(const std::vector<int16_t>& s, size_t from, size_t count) {
  double sum = 0;
  size_t end = std::min(s.size(), from + count);
  for (size_t i = from; i < end; ++i) sum += double(s[i]) * s[i];
  return end > from ? std::sqrt(sum / (end - from)) : 0;
}

// Formant frequencies (Hz, ascending) of a steady stretch: pre-emphasis,
// Hamming window, autocorrelation LPC, peaks of the LPC envelope.
inline std::vector<double> formantsOf(const std::vector<int16_t>& s, size_t from, size_t count, double rate,
                                      int order = 16) {
  std::vector<double> x(count);
  for (size_t i = 0; i < count; ++i) {
    double prev = from + i > 0 ? s[from + i - 1] : 0;
    double w = 0.54 - 0.46 * std::cos(2 * M_PI * i / (count - 1));
    x[i] = (s[from + i] - 0.9 * prev) * w;
  }
  std::vector<double> r(order + 1);
  for (int k = 0; k <= order; ++k)
    for (size_t i = k; i < count; ++i) r[k] += x[i] * x[i - k];
  std::vector<double> a(order + 1), tmp(order + 1);
  a[0] = 1;
  double err = r[0];
  for (int i = 1; i <= order; ++i) {
    double acc = r[i];
    for (int j = 1; j < i; ++j) acc += a[j] * r[i - j];
    double k = -acc / err;
    tmp = a;
    for (int j = 1; j < i; ++j) a[j] = tmp[j] + k * tmp[i - j];
    a[i] = k;
    err *= 1 - k * k;
  }
  auto envelope = [&](double hz) {
    double w = 2 * M_PI * hz / rate, re = 0, im = 0;
    for (int k = 0; k <= order; ++k) {
      re += a[k] * std::cos(w * k);
      im -= a[k] * std::sin(w * k);
    }
    return -std::log(re * re + im * im);
  };
  std::vector<double> peaks;
  const double step = 2;
  for (double hz = 150; hz < rate / 2 - step; hz += step)
    if (envelope(hz) > envelope(hz - step) && envelope(hz) >= envelope(hz + step)) peaks.push_back(hz);
  return peaks;
}

// Fundamental frequency (Hz) of a steady stretch: the lag of the highest
// normalised autocorrelation between the periods of maxHz and minHz.
inline double pitchOf(const std::vector<int16_t>& s, size_t from, size_t count, double rate, double minHz = 60,
                      double maxHz = 800) {
  int minLag = int(rate / maxHz), maxLag = int(rate / minHz);
  double best = -1;
  int bestLag = minLag;
  std::vector<double> corr(maxLag + 2);
  for (int lag = minLag; lag <= maxLag + 1; ++lag) {
    double xy = 0, xx = 0, yy = 0;
    for (size_t i = from; i + lag < from + count && i + lag < s.size(); ++i) {
      xy += double(s[i]) * s[i + lag];
      xx += double(s[i]) * s[i];
      yy += double(s[i + lag]) * s[i + lag];
    }
    corr[lag] = xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0;
  }
  for (int lag = minLag; lag <= maxLag; ++lag)
    if (corr[lag] > best) {
      best = corr[lag];
      bestLag = lag;
    }
  // Parabolic interpolation around the best lag for sub-sample precision.
  double l = corr[std::max(bestLag - 1, minLag)], c = corr[bestLag], rgt = corr[bestLag + 1];
  double denom = l - 2 * c + rgt;
  double shift = denom != 0 ? 0.5 * (l - rgt) / denom : 0;
  return rate / (bestLag + std::clamp(shift, -0.5, 0.5));
}

// Normalised autocorrelation at one lag: near 1 for voicing repeating at
// that period, near 0 for noise.
inline double periodicityAt(const std::vector<int16_t>& s, size_t from, size_t count, int lag) {
  double xy = 0, xx = 0, yy = 0;
  for (size_t i = from; i + lag < from + count && i + lag < s.size(); ++i) {
    xy += double(s[i]) * s[i + lag];
    xx += double(s[i]) * s[i];
    yy += double(s[i + lag]) * s[i + lag];
  }
  return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0;
}

// Energy of the sample differences against that of the sample sums: above
// 1 the stretch is mostly above fs/4 (4 kHz), well under 1 mostly low.
inline double highToLowRatio(const std::vector<int16_t>& s, size_t from, size_t count) {
  double diff = 0, sum = 0;
  for (size_t i = from + 1; i < from + count && i < s.size(); ++i) {
    double d = double(s[i]) - s[i - 1], a = double(s[i]) + s[i - 1];
    diff += d * d;
    sum += a * a;
  }
  return sum > 0 ? std::sqrt(diff / sum) : 0;
}

}  // namespace varlo::test
