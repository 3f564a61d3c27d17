// Rendering queued phonemes into samples: control tracks every
// millisecond, then voicing and noise through the cascade and parallel
// formant filters.
#pragma once

#include <cstdint>

#include "engines/synth_filter.h"
#include "engines/synth_queue.h"
#include "engines/synth_source.h"
#include "engines/synth_track.h"

namespace varlo {

// The cascade reaches F6: with poles only up to F5 the voice's spectrum
// falls away above 2 kHz at a 16 kHz rate.
constexpr int kCascade = 6;

struct FilterBank {
  Resonator nasalPole;
  AntiResonator nasalZero;
  Resonator cascade[kCascade];   // F1..F6
  Resonator parallel[5];  // F2..F6, fricatives and bursts
};

struct Renderer {
  bool active = false;  // a phoneme is under way
  bool utteranceStart = true;
  PhoneSpan span;
  int pos = 0;  // next sample within the phoneme
  Neighbour left;
  PitchContour pitch;
  Glottis glottis;
  Noise noise;
  FilterBank filters;
  Amps amps{};       // current amplitudes, ramping toward frameAmps
  Amps frameAmps{};  // amplitudes at the end of the current frame
  Amps ampStep{};
  float f0 = 0;
  int frameLeft = 0;  // samples left in the current frame
  float lastFric = 0;  // for the differenced frication
  float lastCascade = 0;  // for the higher-pole correction
  float dcIn = 0, dcOut = 0;
};

// Writes up to max samples of what the queue has ready; returns the count.
int renderSamples(Renderer& r, PhoneQueue& q, const Voice& voice, int16_t* out, int max);

}  // namespace varlo
