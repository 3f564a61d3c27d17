// The ALSA sink. A small playback thread drains the queued buffers into a
// non-blocking PCM with half a second of device buffer, and notes which
// buffers have been heard; the program learns about them only from poll.
// Every PCM call after opening is made by that thread.
#include <alsa/asoundlib.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/audio_sink_backend.h"

namespace varlo {

namespace {

constexpr unsigned kLatencyMicros = 500000;
constexpr int kWaitMillis = 20;
constexpr auto kStallLimit = std::chrono::seconds(2);

struct Queued {
  const uint8_t* data;
  size_t bytes;
  int tag;
  size_t sent = 0;          // bytes already written to the PCM
  uint64_t endFrame = 0;    // frame count written when its last byte went out
};

snd_pcm_t* pcm = nullptr;
int frameBytes = 1;
std::thread worker;
std::mutex lock;
std::condition_variable wake;
std::condition_variable resetDone;
std::deque<Queued> toSend;     // not yet fully written to the PCM
std::deque<Queued> inDevice;   // written, waiting to be heard
std::vector<int> heard;
uint64_t framesWritten = 0;
uint64_t lastPlayed = 0;
std::chrono::steady_clock::time_point lastProgress;
bool resetWanted = false;
bool quitting = false;
bool lost = false;

void quietErrors(const char*, int, const char*, int, const char*, ...) {}

snd_pcm_format_t pcmFormat(int bits) {
  return bits == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
}

// Everything queued counts as finished (after a reset or a lost device).
void finishAll() {
  for (const Queued& q : inDevice) heard.push_back(q.tag);
  for (const Queued& q : toSend) heard.push_back(q.tag);
  inDevice.clear();
  toSend.clear();
  framesWritten = 0;
}

// Moves the buffers the device has played on to `heard`. Called locked.
// False when the device stopped making progress.
bool noteHeard() {
  snd_pcm_state_t state = snd_pcm_state(pcm);
  if (state == SND_PCM_STATE_PREPARED && toSend.empty() && !inDevice.empty()) {
    if (snd_pcm_start(pcm) < 0) finishAll();
    return true;
  }
  if (state != SND_PCM_STATE_RUNNING) {
    // With nothing left to send, everything written is over (the underrun
    // at the end of a sound, or a device that went away).
    if (toSend.empty()) finishAll();
    return true;
  }
  snd_pcm_sframes_t delay = 0;
  if (snd_pcm_delay(pcm, &delay) < 0) return true;
  uint64_t pending = uint64_t(std::max<snd_pcm_sframes_t>(delay, 0));
  uint64_t played = framesWritten > pending ? framesWritten - pending : 0;
  auto now = std::chrono::steady_clock::now();
  if (played != lastPlayed || (inDevice.empty() && toSend.empty())) {
    lastPlayed = played;
    lastProgress = now;
  } else if (now - lastProgress > kStallLimit) {
    return false;
  }
  while (!inDevice.empty() && inDevice.front().endFrame <= played) {
    heard.push_back(inDevice.front().tag);
    inDevice.pop_front();
  }
  return true;
}

// Writes what it can of the first waiting buffer. Called locked; the lock is
// released around the PCM wait. False when the device is gone.
bool sendSome(std::unique_lock<std::mutex>& held) {
  Queued& q = toSend.front();
  snd_pcm_uframes_t frames = (q.bytes - q.sent) / frameBytes;
  snd_pcm_sframes_t n = frames ? snd_pcm_writei(pcm, q.data + q.sent, frames) : 0;
  if (n == -EAGAIN) {
    held.unlock();
    snd_pcm_wait(pcm, kWaitMillis);
    held.lock();
    return true;
  }
  if (n < 0) return snd_pcm_recover(pcm, int(n), 1) >= 0;
  q.sent += size_t(n) * frameBytes;
  framesWritten += uint64_t(n);
  if (q.bytes - q.sent < size_t(frameBytes)) {
    q.endFrame = framesWritten;
    inDevice.push_back(q);
    toSend.pop_front();
    // A short sound may never fill the start threshold: start it now.
    if (toSend.empty() && snd_pcm_state(pcm) == SND_PCM_STATE_PREPARED) snd_pcm_start(pcm);
  }
  return true;
}

// The device is gone: everything queued is finished and the thread ends.
void giveUp() {
  lost = true;
  finishAll();
  resetDone.notify_all();
}

void run() {
  std::unique_lock<std::mutex> held(lock);
  while (!quitting) {
    if (resetWanted) {
      snd_pcm_drop(pcm);
      snd_pcm_prepare(pcm);
      finishAll();
      resetWanted = false;
      resetDone.notify_all();
      continue;
    }
    if (!toSend.empty() && !sendSome(held)) return giveUp();
    if (toSend.empty() && !inDevice.empty())
      wake.wait_for(held, std::chrono::milliseconds(kWaitMillis));
    else if (toSend.empty())
      wake.wait(held);
    if (!noteHeard()) return giveUp();
  }
}

void close();

// Opens a PCM by name and sets it up for the format; null when it cannot
// play that format.
snd_pcm_t* openPcm(const std::string& name, const AudioFormat& format) {
  snd_pcm_t* opened = nullptr;
  if (snd_pcm_open(&opened, name.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
    return nullptr;
  if (snd_pcm_set_params(opened, pcmFormat(format.bits), SND_PCM_ACCESS_RW_INTERLEAVED,
                         unsigned(format.channels), unsigned(format.rate), 1,
                         kLatencyMicros) < 0) {
    snd_pcm_close(opened);
    return nullptr;
  }
  return opened;
}

int open(const AudioFormat& format, const std::string& device) {
  // The playback thread must be joined before the program's statics go.
  static const bool closesAtExit = std::atexit([] { close(); }) == 0;
  (void)closesAtExit;
  snd_lib_error_set_handler(quietErrors);
  // A chosen device that cannot play the format gives way to the default.
  pcm = device.empty() ? nullptr : openPcm(device, format);
  if (!pcm) pcm = openPcm("default", format);
  if (!pcm) return 2;
  frameBytes = format.bytesPerFrame();
  framesWritten = lastPlayed = 0;
  lastProgress = std::chrono::steady_clock::now();
  resetWanted = quitting = lost = false;
  worker = std::thread(run);
  return 0;
}

void close() {
  {
    std::lock_guard<std::mutex> g(lock);
    quitting = true;
  }
  wake.notify_one();
  if (worker.joinable()) worker.join();
  if (pcm) {
    snd_pcm_drop(pcm);
    snd_pcm_close(pcm);
    pcm = nullptr;
  }
  finishAll();
}

void write(const uint8_t* data, size_t bytes, int tag) {
  {
    std::lock_guard<std::mutex> g(lock);
    toSend.push_back({data, bytes, tag});
  }
  wake.notify_one();
}

void reset() {
  std::unique_lock<std::mutex> held(lock);
  if (lost) return;
  resetWanted = true;
  wake.notify_one();
  // The dropped buffers' memory is reused at once: wait until the thread has
  // let go of it.
  resetDone.wait(held, [] { return !resetWanted || lost; });
}

bool poll(std::vector<int>& finished) {
  std::lock_guard<std::mutex> g(lock);
  finished.insert(finished.end(), heard.begin(), heard.end());
  heard.clear();
  return !lost;
}

}  // namespace

std::vector<std::string> alsaDeviceNames() {
  snd_lib_error_set_handler(quietErrors);
  std::vector<std::string> names;
  void** hints = nullptr;
  if (snd_device_name_hint(-1, "pcm", &hints) < 0) return names;
  for (void** h = hints; *h; ++h) {
    char* name = snd_device_name_get_hint(*h, "NAME");
    char* io = snd_device_name_get_hint(*h, "IOID");
    if (name && (!io || std::string_view(io) == "Output")) names.emplace_back(name);
    std::free(name);
    std::free(io);
  }
  snd_device_name_free_hint(hints);
  return names;
}

const SinkOps& alsaSink() {
  static const SinkOps ops{open, close, write, reset, poll};
  return ops;
}

}  // namespace varlo
