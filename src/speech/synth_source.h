// Sound sources: glottal pulses for voicing and white noise for
// aspiration, frication and bursts.
#pragma once

#include <cstdint>

#include "speech/synth_voice.h"

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

  bool isOpen(const SourceShape& shape) const { return phase < shape.openQuotient; }

  // One sample of the glottal flow derivative at pitch f0 (a new period
  // starts when the phase wraps, so pitch changes never break a pulse).
  float step(float f0, const SourceShape& shape, float sampleRate) {
    float x = static_cast<float>(phase) / shape.openQuotient;
    float pulse = x < 1 ? 2 * x - 3 * x * x : 0;
    phase += f0 / sampleRate;
    if (phase >= 1) phase -= 1;
    tiltMemory = (1 - shape.tilt) * pulse + shape.tilt * tiltMemory;
    return tiltMemory;
  }
};

}  // namespace varlo
