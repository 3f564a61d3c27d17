// The synthesis loop. Parameters are set once per frame of 1 ms (a frame
// never crosses a phoneme boundary); amplitudes ramp across the frame so
// that no step is heard.
#include "engines/synth_render.h"

#include <algorithm>
#include <cmath>

#include "engines/synth.h"

namespace varlo {
namespace {

constexpr int kFrame = kSynthSampleRate / 1000;
constexpr float kRate = static_cast<float>(kSynthSampleRate);

// Utterances start from rest (the last one faded out), so the same lines
// always give the same samples.
void startUtterance(Renderer& r, const PhoneQueue& q) {
  r = Renderer{};
  startContour(r.pitch, q);
}

void beginPhone(Renderer& r, const PhoneQueue& q, const Voice& voice) {
  const QueuedPhone& f = q.phones.front();
  if (r.utteranceStart) startUtterance(r, q);
  const QueuedPhone* right = sameUtterance(q, 1);
  const QueuedPhone* right2 = sameUtterance(q, 2);
  Neighbour left = r.utteranceStart ? Neighbour{} : r.left;
  Neighbour self = resolvePhone(voice, f.def, f.samples, left, right ? right->def : -1);
  if (r.utteranceStart) left = edgeOf(voice, self);
  Neighbour next = right ? resolvePhone(voice, right->def, right->samples, self, right2 ? right2->def : -1)
                         : edgeOf(voice, self);
  r.span = makeSpan(left, self, next, kRate);
  r.pos = 0;
  r.active = true;
  r.utteranceStart = false;
}

void finishPhone(Renderer& r, PhoneQueue& q) {
  r.left = r.span.self;
  r.utteranceStart = q.phones.front().last;
  r.active = false;
  popFront(q);
}

void tune(FilterBank& fb, const Tracks& t, const Voice& v) {
  const FixedFormants& x = v.fixed;
  tuneResonator(fb.nasalPole, t[kFnp], x.bnp, kRate);
  tuneAntiResonator(fb.nasalZero, t[kFnz], x.bnz, kRate);
  const float freq[kCascade] = {t[kF1], t[kF2], t[kF3], x.f4, x.f5, x.f6};
  const float bw[kCascade] = {t[kB1], t[kB2], t[kB3], x.b4, x.b5, x.b6};
  for (int k = 0; k < kCascade; ++k) tuneResonator(fb.cascade[k], freq[k], bw[k], kRate);
  const float pf[5] = {t[kF2], t[kF3], x.f4, x.f5, x.f6};
  for (int k = 0; k < 5; ++k) tunePeakResonator(fb.parallel[k], pf[k], x.parallelBw[k], kRate);
  settle(fb.nasalPole);
  for (auto& res : fb.cascade) settle(res);
  for (auto& res : fb.parallel) settle(res);
}

int16_t toPcm(float v) {
  v = std::clamp(v, -32768.0f, 32767.0f);
  return static_cast<int16_t>(std::lrint(v));
}

// Alternating signs keep the parallel peaks from cancelling between them.
float parallelBranch(FilterBank& fb, const Amps& a, float fric, float diff) {
  return a[kA2] * fb.parallel[0].step(diff) - a[kA3] * fb.parallel[1].step(diff) +
         a[kA4] * fb.parallel[2].step(diff) - a[kA5] * fb.parallel[3].step(diff) +
         a[kA6] * fb.parallel[4].step(diff) + a[kAb] * fric;
}

// Frames start every kFrame samples from the phoneme's start, so the
// output does not depend on how the caller splits its reads.
void startFrame(Renderer& r, const PhoneQueue& q, const Voice& v) {
  int n = std::min(kFrame, r.span.self.samples - r.pos);
  Tracks tracks;
  frameAt(r.span, r.pos + n - 1, tracks, r.frameAmps);
  r.f0 = pitchAt(r.pitch, q, q.phones.front().start + r.pos, v.pitch);
  tune(r.filters, tracks, v);
  for (int k = 0; k < kAmpCount; ++k) r.ampStep[k] = (r.frameAmps[k] - r.amps[k]) / n;
  r.frameLeft = n;
}

void runSamples(Renderer& r, const Voice& v, int16_t* out, int n) {
  FilterBank& fb = r.filters;
  const SourceShape& shape = v.source;
  const float scale = v.gain * 32767.0f;
  Amps& a = r.amps;
  for (int i = 0; i < n; ++i) {
    for (int k : {kAv, kAh, kAf, kGate}) a[k] += r.ampStep[k];
    bool open = r.glottis.isOpen(shape);
    float pulse = r.glottis.step(r.f0, shape, kRate);
    float breath = shape.breath * r.noise.next() * (open ? 1.0f : 0.3f);
    float x = a[kAv] * (pulse + breath) + a[kAh] * r.noise.next();
    x = fb.nasalZero.step(fb.nasalPole.step(x));
    for (int k = kCascade - 1; k >= 0; --k) x = fb.cascade[k].step(x);
    const float lifted = (x - shape.emphasis * r.lastCascade) / (1 - shape.emphasis);
    r.lastCascade = x;
    x = lifted;
    float fric = a[kAf] * r.noise.next() * (a[kAv] > 0 && !open ? 0.5f : 1.0f);
    float y = x + parallelBranch(fb, r.frameAmps, fric, fric - r.lastFric);
    r.lastFric = fric;
    r.dcOut = y - r.dcIn + 0.995f * r.dcOut;
    r.dcIn = y;
    out[i] = toPcm(a[kGate] * r.dcOut * scale);
  }
  r.frameLeft -= n;
  if (r.frameLeft == 0) a = r.frameAmps;  // no drift from the float steps
}

void renderChunk(Renderer& r, const PhoneQueue& q, const Voice& v, int16_t* out, int count) {
  for (int done = 0; done < count;) {
    if (r.frameLeft == 0) startFrame(r, q, v);
    int n = std::min(r.frameLeft, count - done);
    runSamples(r, v, out + done, n);
    r.pos += n;
    done += n;
  }
}

}  // namespace

int renderSamples(Renderer& r, PhoneQueue& q, const Voice& voice, int16_t* out, int max) {
  int produced = 0;
  while (produced < max) {
    if (!r.active) {
      if (!frontReady(q)) break;
      beginPhone(r, q, voice);
    }
    int n = std::min(r.span.self.samples - r.pos, max - produced);
    renderChunk(r, q, voice, out + produced, n);
    produced += n;
    if (r.pos == r.span.self.samples) finishPhone(r, q);
  }
  return produced;
}

}  // namespace varlo
