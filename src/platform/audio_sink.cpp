// Chooses the sink named by VARLO_AUDIO and keeps the program on a working
// one: ALSA that cannot open, or that loses its device, gives way to null.
#include "platform/audio_sink.h"

#include <cstdlib>
#include <string_view>

#include "platform/audio_sink_backend.h"

namespace varlo {

namespace {

constexpr int kBadFormat = 32;   // the format cannot be played

struct SinkState {
  bool chosen = false;
  AudioSinkKind wanted = AudioSinkKind::alsa;
  AudioSinkKind active = AudioSinkKind::alsa;
  const SinkOps* ops = nullptr;
  bool open = false;
  std::vector<int> leftover;   // buffers of a closed sink, still to report
  std::vector<int> finished;
};

SinkState state;

void chooseSink() {
  if (state.chosen) return;
  state.chosen = true;
  const char* env = std::getenv("VARLO_AUDIO");
  std::string_view choice = env ? env : "";
  if (choice == "null") {
    state.wanted = AudioSinkKind::null;
  } else if (choice.starts_with("capture:")) {
    state.wanted = AudioSinkKind::capture;
    setCaptureFile(std::string(choice.substr(8)));
  } else {
    state.wanted = AudioSinkKind::alsa;
  }
}

const SinkOps& opsOf(AudioSinkKind kind) {
  switch (kind) {
    case AudioSinkKind::alsa: return alsaSink();
    case AudioSinkKind::capture: return captureSink();
    case AudioSinkKind::null: break;
  }
  return nullSink();
}

bool playable(const AudioFormat& f) {
  return (f.bits == 8 || f.bits == 16) && (f.channels == 1 || f.channels == 2) &&
         f.rate >= 1000 && f.rate <= 192000;
}

std::string deviceName(int device) {
  if (device < 0) return "";
  std::vector<std::string> names = listAudioDevices();
  return size_t(device) < names.size() ? names[size_t(device)] : "";
}

// Closing hands every buffer still queued back as finished.
void closeActive() {
  if (!state.open) return;
  state.ops->reset();
  state.ops->close();
  state.ops->poll(state.leftover);
  state.open = false;
}

}  // namespace

AudioSinkKind audioSinkKind() {
  chooseSink();
  return state.active;
}

int audioOpen(const AudioFormat& format, int device) {
  chooseSink();
  closeActive();
  if (!playable(format)) return kBadFormat;
  state.active = state.wanted;
  state.ops = &opsOf(state.active);
  if (state.ops->open(format, deviceName(device)) != 0) {
    // No usable device: go on without sound, quietly.
    state.active = AudioSinkKind::null;
    state.ops = &nullSink();
    state.ops->open(format, "");
  }
  state.open = true;
  return 0;
}

bool audioIsOpen() { return state.open; }

void audioClose() { closeActive(); }

void audioWrite(const uint8_t* data, size_t bytes, int tag) {
  if (!state.open) {
    state.leftover.push_back(tag);
    return;
  }
  state.ops->write(data, bytes, tag);
}

void audioReset() {
  if (state.open) state.ops->reset();
}

void audioPoll(void (*finished)(int tag)) {
  state.finished.insert(state.finished.end(), state.leftover.begin(), state.leftover.end());
  state.leftover.clear();
  if (state.open && !state.ops->poll(state.finished)) {
    // The device went away: its buffers are over; carry on without sound.
    state.ops->close();
    state.ops->poll(state.finished);
    state.active = AudioSinkKind::null;
    state.ops = &nullSink();
    state.ops->open(AudioFormat{}, "");
  }
  std::vector<int> done;
  done.swap(state.finished);
  for (int tag : done) finished(tag);
  done.clear();
  state.finished.swap(done);   // keep the capacity for the next poll
}

std::vector<std::string> listAudioDevices() { return alsaDeviceNames(); }

void resetAudioSink() {
  closeActive();
  state.chosen = false;
}

}  // namespace varlo
