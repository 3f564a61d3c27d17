// Reading back a capture file of the sound layer (format in audio_sink.h):
// what was handed to the device, when, and what a stop cut off.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio_sink.h"

namespace varlo {

struct CaptureRecord {
  enum class Kind { open, play, stop, close } kind;
  int64_t time = 0;            // microseconds, monotonic clock
  AudioFormat format;          // open and play
  std::vector<uint8_t> data;   // play: the samples
  size_t unplayed = 0;         // stop: bytes cut off
};

// The records of a capture file in order; a damaged tail is left out.
std::vector<CaptureRecord> readCapture(const std::string& path);

// All bytes handed to the device, and the bytes actually heard (each stop
// removes its unplayed bytes from the end of what came before it).
std::vector<uint8_t> capturedBytes(const std::vector<CaptureRecord>& records);
std::vector<uint8_t> heardBytes(const std::vector<CaptureRecord>& records);

}  // namespace varlo
