// Transitions between phoneme targets. At each boundary the dominant
// phoneme (the higher rank of the voice data; Olira ranks stops over
// fricatives over nasals over liquids over glides over vowels) fixes the
// boundary value as its own target moved a share `ext` toward its
// neighbour's, and how long each side takes to get there. Equal ranks meet
// halfway. Silence adopts its neighbour, so speech starts and ends on
// target.
#include "engines/synth_track.h"

#include <algorithm>
#include <cmath>

namespace varlo {
namespace {

constexpr float kFadeMs = 4;

bool isSilent(const PhoneDef& def) { return def.cls == PhoneClass::Silence; }

bool borrows(const PhoneDef& def) { return def.inherit || isSilent(def); }

struct Boundary {
  Tracks value;
  float leftMs, rightMs;
};

Boundary boundary(const Neighbour& l, const Neighbour& r) {
  const PhoneDef& dl = *l.def;
  const PhoneDef& dr = *r.def;
  if (isSilent(dl) || isSilent(dr)) return {isSilent(dl) ? r.target : l.target, 0, 0};
  Boundary b{};
  if (dl.rank == dr.rank) {
    for (int k = 0; k < kTrackCount; ++k) b.value[k] = (l.target[k] + r.target[k]) / 2;
    b.leftMs = dl.tinMs;
    b.rightMs = dr.tinMs;
    return b;
  }
  bool leftRules = dl.rank > dr.rank;
  const Neighbour& dom = leftRules ? l : r;
  const Neighbour& other = leftRules ? r : l;
  for (int k = 0; k < kTrackCount; ++k) {
    float ext = (k == kF1 || k == kB1) ? dom.def->ext1 : dom.def->ext;
    b.value[k] = dom.target[k] + ext * (other.target[k] - dom.target[k]);
  }
  b.leftMs = leftRules ? dom.def->tinMs : dom.def->toutMs;
  b.rightMs = leftRules ? dom.def->toutMs : dom.def->tinMs;
  return b;
}

int toSamples(float ms, float sampleRate) { return static_cast<int>(std::lround(ms * sampleRate / 1000)); }

void stopAmps(const PhoneDef& def, int n, int t, float rate, Amps& a) {
  float burst = def.burstMs * rate / 1000, vot = def.votMs * rate / 1000;
  if (burst + vot > 0.6f * n) {
    float k = 0.6f * n / (burst + vot);
    burst *= k;
    vot *= k;
  }
  float release = n - burst - vot;
  Amps out{};
  out[kAv] = def.voicebar;
  out[kGate] = def.voicebar > 0 ? 1 : 0;
  if (t >= release) {
    out[kGate] = 1;
    if (t < release + burst) {
      float decay = 1 - 0.6f * (t - release) / std::max(burst, 1.0f);
      out[kAf] = def.amp[kAf] * decay;
      for (int k = kA2; k <= kAb; ++k) out[k] = def.amp[k];
    } else {
      out[kAh] = def.amp[kAh];
    }
  }
  a = out;
}

void affricateAmps(const PhoneDef& def, int n, int t, Amps& a) {
  if (t >= def.closure * n) return;  // frication: the def's own amplitudes
  Amps out{};
  out[kAv] = def.voicebar;
  out[kGate] = def.voicebar > 0 ? 1 : 0;
  a = out;
}

// Voicing sinks by `dip` at the middle of the tap, in a raised cosine.
void tapAmps(const PhoneDef& def, int n, int t, Amps& a) {
  float x = (static_cast<float>(t) / std::max(n, 1) - 0.2f) / 0.6f;
  if (x <= 0 || x >= 1) return;
  float s = std::sin(3.14159265f * x);
  a[kAv] *= 1 - (1 - def.dip) * s * s;
}

float easeFrom(float boundary, float target, float x) { return target + (boundary - target) * (1 - x) * (1 - x); }

float easeTo(float target, float boundary, float x) { return target + (boundary - target) * x * x; }

}  // namespace

Amps innerAmps(const PhoneDef& def, int samples, int t, float sampleRate) {
  int n = std::max(samples, 1);
  Amps a = def.amp;
  switch (def.cls) {
    case PhoneClass::Stop: stopAmps(def, n, t, sampleRate, a); break;
    case PhoneClass::Affricate: affricateAmps(def, n, t, a); break;
    case PhoneClass::Tap: tapAmps(def, n, t, a); break;
    default: break;
  }
  return a;
}

Neighbour edgeOf(const Voice& voice, const Neighbour& speaking) {
  Neighbour edge;
  edge.def = &voice.phones[voice.silence];
  edge.target = speaking.target;
  return edge;
}

namespace {

// Borrowed formants come from the vowel they colour: the following one
// for an onset, the preceding one for a coda.
Tracks borrowedTarget(const PhoneDef& self, const PhoneDef* right, const Neighbour& left) {
  auto vocalic = [](const PhoneDef& d) { return d.cls == PhoneClass::Vowel || d.cls == PhoneClass::Glide; };
  bool hasLeft = left.def && !isSilent(*left.def);
  if (right && vocalic(*right)) return right->target;
  if (hasLeft && vocalic(*left.def)) return left.target;
  if (right && !borrows(*right)) return right->target;
  if (hasLeft) return left.target;
  return self.target;
}

}  // namespace

Neighbour resolvePhone(const Voice& voice, int def, int samples, const Neighbour& left, int rightDef) {
  const PhoneDef* self = &voice.phones[def];
  const PhoneDef* right = rightDef >= 0 ? &voice.phones[rightDef] : nullptr;
  if (self->voicedAlt >= 0 && right && isVoicedConsonant(*right)) self = &voice.phones[self->voicedAlt];
  Neighbour n;
  n.def = self;
  n.samples = samples;
  n.target = borrows(*self) ? borrowedTarget(*self, right, left) : self->target;
  return n;
}

PhoneSpan makeSpan(const Neighbour& left, const Neighbour& self, const Neighbour& right, float sampleRate) {
  PhoneSpan s;
  s.self = self;
  s.sampleRate = sampleRate;
  s.leftDef = left.def;
  s.rightDef = right.def;
  Boundary start = boundary(left, self);
  Boundary end = boundary(self, right);
  s.startValue = start.value;
  s.endValue = end.value;
  int n = self.samples;
  int a = toSamples(start.rightMs, sampleRate), b = toSamples(end.leftMs, sampleRate);
  if (a + b > n) {
    double k = static_cast<double>(n) / (a + b);
    a = static_cast<int>(a * k);
    b = static_cast<int>(b * k);
  }
  s.startLen = a;
  s.endLen = b;
  s.leftEdge = innerAmps(*left.def, left.samples, left.samples - 1, sampleRate);
  s.rightEdge = innerAmps(*right.def, right.samples, 0, sampleRate);
  if (isSilent(*left.def)) s.leftEdge = Amps{};
  if (isSilent(*right.def)) s.rightEdge = Amps{};
  s.fadeLen = std::max(1, std::min(toSamples(kFadeMs, sampleRate), n / 2));
  return s;
}

void frameAt(const PhoneSpan& s, int t, Tracks& tracks, Amps& amps) {
  const int n = s.self.samples;
  for (int k = 0; k < kTrackCount; ++k) {
    float v = s.self.target[k];
    if (t < s.startLen)
      v = easeFrom(s.startValue[k], v, static_cast<float>(t) / s.startLen);
    else if (t >= n - s.endLen && s.endLen > 0)
      v = easeTo(v, s.endValue[k], static_cast<float>(t - (n - s.endLen)) / s.endLen);
    tracks[k] = v;
  }
  amps = innerAmps(*s.self.def, n, t, s.sampleRate);
  if (isSilent(*s.self.def)) return;
  // Next to a sounding phoneme both sides meet halfway at the boundary;
  // next to a pause the fade is all on the sounding side, so the pause
  // keeps its full length.
  const Amps* edge = nullptr;
  float w = 1;
  if (t < s.fadeLen) {
    edge = &s.leftEdge;
    w = isSilent(*s.leftDef) ? static_cast<float>(t) / s.fadeLen : 0.5f + 0.5f * t / s.fadeLen;
  } else if (t >= n - s.fadeLen) {
    edge = &s.rightEdge;
    float x = static_cast<float>(n - 1 - t) / s.fadeLen;
    w = isSilent(*s.rightDef) ? x : 0.5f + 0.5f * x;
  }
  if (edge)
    for (int k = 0; k < kAmpCount; ++k) amps[k] = w * amps[k] + (1 - w) * (*edge)[k];
}

}  // namespace varlo
