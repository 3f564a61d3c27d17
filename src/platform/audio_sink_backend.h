// What each sink of the sound layer offers the dispatcher in audio_sink.cpp.
// One sink is active at a time; all calls come from the program's thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio_sink.h"

namespace varlo {

struct SinkOps {
  // 0 on success; non-zero when the device cannot be opened.
  int (*open)(const AudioFormat& format, const std::string& device);
  void (*close)();
  void (*write)(const uint8_t* data, size_t bytes, int tag);
  void (*reset)();
  // Appends finished tags in order; false once the device is lost, after
  // every queued buffer has been reported.
  bool (*poll)(std::vector<int>& finished);
};

const SinkOps& nullSink();
const SinkOps& alsaSink();
const SinkOps& captureSink();
void setCaptureFile(const std::string& path);

std::vector<std::string> alsaDeviceNames();

}  // namespace varlo
