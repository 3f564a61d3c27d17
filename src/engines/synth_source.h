// Sound sources: glottal pulses for voicing and white noise for
// aspiration, frication and bursts.
#pragma once

#include <cstdint>

#include "engines/synth_voice.h"

namespace varlo {

struct Noise {
  uint32_t state = 0x2545F491u;

  // Uniform in [-1, 1).
  float next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(static_cast<int32_t>(state)) * (1.0f / 2147483648.0f);
  }
};

struct Glottis {
  double phase = 0;  // 0..1 through the pitch period, open phase first
  float tiltMemory = 0;
  float periodPitch = 1, periodLevel = 1;  // this period's jitter and shimmer
  Noise irregularity{0x9E3779B9u};

  bool isOpen(const SourceShape& shape) const { return phase < shape.openQuotient; }

  // One sample of the glottal flow derivative at pitch f0 (a new period
  // starts when the phase wraps, so pitch changes never break a pulse).
  // Each period varies a little in length and strength, as a larynx does:
  // perfectly regular pulses sound buzzy.
  float step(float f0, const SourceShape& shape, float sampleRate) {
    float x = static_cast<float>(phase) / shape.openQuotient;
    float pulse = x < 1 ? (2 * x - 3 * x * x) * periodLevel : 0;
    phase += f0 * periodPitch / sampleRate;
    if (phase >= 1) {
      phase -= 1;
      periodPitch = 1 + shape.jitter * irregularity.next();
      periodLevel = 1 + shape.shimmer * irregularity.next();
    }
    tiltMemory = (1 - shape.tilt) * pulse + shape.tilt * tiltMemory;
    return tiltMemory;
  }
};

}  // namespace varlo
