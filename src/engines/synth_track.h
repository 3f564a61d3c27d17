// Control tracks of one phoneme: formants gliding across each diphone
// boundary and source amplitudes shaped by the phoneme's class.
#pragma once

#include "engines/synth_voice.h"

namespace varlo {

// A phoneme as its neighbours see it: the def actually used (s2 may turn
// into z) and its formant targets once borrowed formants are resolved.
struct Neighbour {
  const PhoneDef* def = nullptr;
  Tracks target{};
  int samples = 0;
};

// The silence standing before and after each utterance.
Neighbour edgeOf(const Voice& voice, const Neighbour& speaking);

// Resolves a queued phoneme given the neighbour already resolved on its
// left and the raw phoneme on its right (-1 at the utterance's end).
Neighbour resolvePhone(const Voice& voice, int def, int samples, const Neighbour& left, int rightDef);

struct PhoneSpan {
  Neighbour self;
  Tracks startValue{}, endValue{};  // track values on the two boundaries
  int startLen = 0, endLen = 0;     // transition lengths (samples)
  Amps leftEdge{}, rightEdge{};     // neighbours' amplitudes at the boundaries
  int fadeLen = 1;                  // amplitude crossfade on each side
  float sampleRate = 16000;
  const PhoneDef* leftDef = nullptr;
  const PhoneDef* rightDef = nullptr;
};

PhoneSpan makeSpan(const Neighbour& left, const Neighbour& self, const Neighbour& right, float sampleRate);

// Tracks and amplitudes at sample t of the phoneme.
void frameAt(const PhoneSpan& span, int t, Tracks& tracks, Amps& amps);

// Amplitudes a phoneme has at its sample t, before crossfading.
Amps innerAmps(const PhoneDef& def, int samples, int t, float sampleRate);

}  // namespace varlo
