// Phonemes waiting to be rendered, grouped in utterances, and the pitch
// contour drawn through their pitch points.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "engines/synth_parse.h"

namespace varlo {

constexpr size_t kMaxQueuedPhones = 65536;

struct QueuedPhone {
  int def = 0;
  int samples = 0;
  int64_t start = 0;  // first sample, counted from the utterance's start
  std::vector<PitchPoint> points;
  bool last = false;  // the utterance ends after it
  uint64_t serial = 0;
};

struct PhoneQueue {
  std::deque<QueuedPhone> phones;  // front: the phoneme being rendered
  size_t closed = 0;               // front phones whose utterance is flushed
  int64_t openLength = 0;          // samples so far in the open utterance
  int64_t lastPointAt = -1;        // latest pitch point of the open utterance
  uint64_t nextSerial = 0;
};

// False (nothing queued) when the queue is full.
bool queuePhone(PhoneQueue& q, int def, int samples, std::vector<PitchPoint> points);

// Ends the open utterance (nothing happens when it is empty).
void closeUtterance(PhoneQueue& q);

// The front phoneme can be rendered: its neighbours are known and so is
// the pitch over it (a later point exists, or the utterance is closed).
bool frontReady(const PhoneQueue& q);

void popFront(PhoneQueue& q);

// The queued phoneme k places after the front, when it belongs to the same
// utterance as the front; nullptr otherwise.
const QueuedPhone* sameUtterance(const PhoneQueue& q, size_t k);

// Linear interpolation between consecutive points of one utterance, held
// before the first point and after the last.
struct PitchContour {
  bool hasPrev = false, hasNext = false;
  int64_t prevAt = 0, nextAt = 0;
  float prevHz = 0, nextHz = 0;
  uint64_t serial = 0;  // where the search for the next point goes on
  size_t index = 0;
};

// Starts the contour of the utterance whose first phoneme is the front.
void startContour(PitchContour& c, const PhoneQueue& q);

// Pitch at sample t of the utterance; times only move forward.
float pitchAt(PitchContour& c, const PhoneQueue& q, int64_t t, float defaultHz);

}  // namespace varlo
