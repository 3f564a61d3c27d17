// Voice data of the phoneme synthesizer: per-phoneme formant targets,
// source amplitudes and transition timing, loaded from a text file.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace varlo {

// The class decides how a phoneme is shaped in time (closure and burst of a
// stop, dip of a tap, borrowed formants of an aspirate...).
enum class PhoneClass { Silence, Vowel, Glide, Liquid, Tap, Nasal, Fricative, Stop, Affricate, Aspirate };

// Tracks that glide from one phoneme's target to the next (Hz).
// Fnp/Fnz are the nasal pole and zero; equal values leave the sound oral.
enum Track { kF1, kF2, kF3, kB1, kB2, kB3, kFnp, kFnz, kTrackCount };
using Tracks = std::array<float, kTrackCount>;

// Amplitudes (linear, 1.0 = 60 dB): voicing, aspiration, frication, the
// parallel fricative resonators F2..F6 and bypass, and the output gate
// (0 silences the filters' ringing, for pauses and stop closures).
enum Amp { kAv, kAh, kAf, kA2, kA3, kA4, kA5, kA6, kAb, kGate, kAmpCount };
using Amps = std::array<float, kAmpCount>;

struct PhoneDef {
  std::string name;
  PhoneClass cls = PhoneClass::Vowel;
  Tracks target{};
  Amps amp{};
  bool inherit = false;  // formants taken from the neighbour (h-like sounds)
  // Transitions: the higher rank sets the boundary value (its target moved
  // ext toward the other's) and the times spent inside itself (tin) and
  // inside the neighbour (tout).
  int rank = 2;
  float tinMs = 40, toutMs = 40, ext = 0.5f, ext1 = 0.5f;
  float burstMs = 0, votMs = 0;  // stops: release burst and aspiration
  float closure = 0.4f;          // affricates: share of closure
  float voicebar = 0;            // voicing amplitude during a closure
  float dip = 1;                 // taps: voicing factor at the tap
  int voicedAlt = -1;            // phoneme used before a voiced consonant
};

struct SourceShape {
  float openQuotient = 0.6f;  // share of the pitch period the glottis is open
  float tilt = 0.3f;          // one-pole low-pass on the pulses (0..1)
  float breath = 0.03f;       // aspiration mixed into voicing
  float jitter = 0;           // random change of each period's length
  float shimmer = 0;          // random change of each period's strength
  // Share of the previous sample taken from the cascade's output, gain
  // kept at 0 Hz: lifts the highs that the poles above F6 would give.
  float emphasis = 0;
};

// Fixed resonators above F3 and the parallel branch bandwidths.
struct FixedFormants {
  float f4 = 4200, b4 = 300, f5 = 4900, b5 = 400, f6 = 6500, b6 = 1500;
  float bnp = 100, bnz = 100;
  std::array<float, 5> parallelBw{250, 320, 400, 600, 1500};  // F2..F6
};

struct Voice {
  std::string name;
  std::vector<PhoneDef> phones;
  int silence = -1;  // index of "_"
  float pitch = 230;
  float gain = 1;
  SourceShape source;
  FixedFormants fixed;
};

// Index of the phoneme, compared without regard to case; -1 when absent.
int findPhone(const Voice& voice, std::string_view name);

// Reads a voice file. On failure returns false with a reason naming the
// line; `voice` is then left unchanged.
bool loadVoice(const std::string& path, Voice& voice, std::string& error);

// True for consonants sounded with voicing (the context that voices s2).
bool isVoicedConsonant(const PhoneDef& def);

// dB (60 = 1.0) to linear; 0 dB or less is silence.
float dbToLinear(float db);

}  // namespace varlo
