// The phoneme queue and the pitch contour over it.
#include "engines/synth_queue.h"

#include <cmath>

namespace varlo {
namespace {

int64_t pointTime(const QueuedPhone& p, const PitchPoint& pt) {
  return p.start + static_cast<int64_t>(std::lround(pt.percent / 100.0 * p.samples));
}

bool findNext(PitchContour& c, const PhoneQueue& q) {
  if (q.phones.empty()) return false;
  uint64_t front = q.phones.front().serial;
  if (c.serial < front) {
    c.serial = front;
    c.index = 0;
  }
  for (;;) {
    uint64_t k = c.serial - front;
    if (k >= q.phones.size()) return false;
    const QueuedPhone& p = q.phones[k];
    if (c.index < p.points.size()) {
      c.nextAt = pointTime(p, p.points[c.index]);
      c.nextHz = p.points[c.index].hz;
      ++c.index;
      c.hasNext = true;
      return true;
    }
    if (p.last) return false;
    ++c.serial;
    c.index = 0;
  }
}

}  // namespace

bool queuePhone(PhoneQueue& q, int def, int samples, std::vector<PitchPoint> points) {
  if (q.phones.size() >= kMaxQueuedPhones) return false;
  QueuedPhone p;
  p.def = def;
  p.samples = samples;
  p.start = q.openLength;
  p.points = std::move(points);
  p.serial = q.nextSerial++;
  if (!p.points.empty()) q.lastPointAt = pointTime(p, p.points.back());
  q.openLength += samples;
  q.phones.push_back(std::move(p));
  return true;
}

void closeUtterance(PhoneQueue& q) {
  if (q.phones.size() == q.closed) return;
  q.phones.back().last = true;
  q.closed = q.phones.size();
  q.openLength = 0;
  q.lastPointAt = -1;
}

bool frontReady(const PhoneQueue& q) {
  if (q.phones.empty()) return false;
  if (q.closed > 0) return true;
  const QueuedPhone& f = q.phones.front();
  return q.phones.size() >= 3 && q.lastPointAt >= f.start + f.samples;
}

void popFront(PhoneQueue& q) {
  q.phones.pop_front();
  if (q.closed > 0) --q.closed;
}

const QueuedPhone* sameUtterance(const PhoneQueue& q, size_t k) {
  if (k >= q.phones.size()) return nullptr;
  for (size_t i = 0; i < k; ++i)
    if (q.phones[i].last) return nullptr;
  return &q.phones[k];
}

void startContour(PitchContour& c, const PhoneQueue& q) {
  c = PitchContour{};
  if (!q.phones.empty()) c.serial = q.phones.front().serial;
}

float pitchAt(PitchContour& c, const PhoneQueue& q, int64_t t, float defaultHz) {
  for (;;) {
    if (!c.hasNext && !findNext(c, q)) break;
    if (t < c.nextAt) break;
    c.hasPrev = true;
    c.prevAt = c.nextAt;
    c.prevHz = c.nextHz;
    c.hasNext = false;
  }
  if (c.hasPrev && c.hasNext) {
    double span = static_cast<double>(c.nextAt - c.prevAt);
    double x = span > 0 ? (t - c.prevAt) / span : 1;
    return static_cast<float>(c.prevHz + x * (c.nextHz - c.prevHz));
  }
  if (c.hasPrev) return c.prevHz;
  if (c.hasNext) return c.nextHz;
  return defaultHz;
}

}  // namespace varlo
