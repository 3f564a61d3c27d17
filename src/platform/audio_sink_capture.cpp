// The capture sink: a pretend device that plays in real time and writes
// down everything it is given (the record format is in audio_sink.h).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>

#include "platform/audio_sink_backend.h"

namespace varlo {

namespace {

struct Queued {
  int tag;
  size_t bytes;
  int64_t start;   // microseconds
  int64_t end;
};

std::string capturePath;
std::FILE* out = nullptr;
AudioFormat format;
std::deque<Queued> queued;
std::vector<int> dropped;   // reset buffers, reported on the next poll
int64_t lastEnd = 0;

int64_t nowMicros() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t durationMicros(size_t bytes) {
  int64_t perSecond = int64_t(format.rate) * format.bytesPerFrame();
  return perSecond > 0 ? int64_t(bytes) * 1000000 / perSecond : 0;
}

void flushLine() { if (out) std::fflush(out); }

int open(const AudioFormat& f, const std::string&) {
  out = std::fopen(capturePath.c_str(), "ab");
  if (!out) return 2;
  format = f;
  lastEnd = 0;
  std::fprintf(out, "OPEN %lld %d %d %d\n", (long long)nowMicros(), f.rate, f.bits, f.channels);
  flushLine();
  return 0;
}

void write(const uint8_t* data, size_t bytes, int tag) {
  int64_t now = nowMicros();
  int64_t start = std::max(now, lastEnd);
  lastEnd = start + durationMicros(bytes);
  queued.push_back({tag, bytes, start, lastEnd});
  if (!out) return;
  std::fprintf(out, "PLAY %lld %d %d %d %zu\n", (long long)now, format.rate, format.bits,
               format.channels, bytes);
  std::fwrite(data, 1, bytes, out);
  std::fputc('\n', out);
  flushLine();
}

// Bytes of a queued buffer not yet heard at `now`, whole frames only.
size_t unheardBytes(const Queued& q, int64_t now) {
  if (now <= q.start) return q.bytes;
  if (now >= q.end) return 0;
  size_t frame = std::max(1, format.bytesPerFrame());
  size_t left = size_t(double(q.bytes) * double(q.end - now) / double(q.end - q.start));
  return left / frame * frame;
}

// A reset with nothing queued changes nothing heard and is not recorded.
void reset() {
  if (queued.empty()) return;
  int64_t now = nowMicros();
  size_t unplayed = 0;
  for (const Queued& q : queued) {
    unplayed += unheardBytes(q, now);
    dropped.push_back(q.tag);
  }
  queued.clear();
  lastEnd = now;
  if (!out) return;
  std::fprintf(out, "STOP %lld %zu\n", (long long)now, unplayed);
  flushLine();
}

bool poll(std::vector<int>& finished) {
  finished.insert(finished.end(), dropped.begin(), dropped.end());
  dropped.clear();
  int64_t now = nowMicros();
  while (!queued.empty() && queued.front().end <= now) {
    finished.push_back(queued.front().tag);
    queued.pop_front();
  }
  return true;
}

void close() {
  if (!out) return;
  std::fprintf(out, "CLOSE %lld\n", (long long)nowMicros());
  std::fclose(out);
  out = nullptr;
}

}  // namespace

// Fixed at choice time: the program changes directory while it converts.
void setCaptureFile(const std::string& path) {
  std::error_code failed;
  std::filesystem::path full = std::filesystem::absolute(path, failed);
  capturePath = failed ? path : full.string();
}

const SinkOps& captureSink() {
  static const SinkOps ops{open, close, write, reset, poll};
  return ops;
}

}  // namespace varlo
