// Second-order resonators and antiresonators of the formant synthesizer.
#pragma once

namespace varlo {

// y[n] = a x[n] + b y[n-1] + c y[n-2]
struct Resonator {
  float a = 0, b = 0, c = 0;
  float y1 = 0, y2 = 0;

  float step(float x) {
    float y = a * x + b * y1 + c * y2;
    y2 = y1;
    y1 = y;
    return y;
  }
};

// y[n] = a x[n] + b x[n-1] + c x[n-2]: a zero pair, the inverse of a
// resonator with the same frequency and bandwidth.
struct AntiResonator {
  float a = 1, b = 0, c = 0;
  float x1 = 0, x2 = 0;

  float step(float x) {
    float y = a * x + b * x1 + c * x2;
    x2 = x1;
    x1 = x;
    return y;
  }
};

// Unity gain at 0 Hz: the cascade's formants then set the vowel's own
// spectral balance, as in the vocal tract.
void tuneResonator(Resonator& r, float hz, float bandwidth, float sampleRate);

// Unity gain at the resonance for an input that is first differenced
// (x[n] - x[n-1]): the parallel branch's amplitudes then give the level of
// each spectral peak directly, while the difference keeps noise out of the
// low frequencies of high-pitched fricatives like s.
void tunePeakResonator(Resonator& r, float hz, float bandwidth, float sampleRate);

void tuneAntiResonator(AntiResonator& r, float hz, float bandwidth, float sampleRate);

// Clears memories that decayed into denormal range (they slow the CPU).
void settle(Resonator& r);

}  // namespace varlo
