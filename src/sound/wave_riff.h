// Reading the RIFF/WAVE layout shared by the wave player's file and memory
// playback. Tags are compared without regard to case; chunk sizes are used as
// written (no filler byte after an odd size).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "sound/wave_player.h"

namespace varlo {

bool sameTag(const uint8_t* bytes, const char* tag);
uint16_t readLe16(const uint8_t* p);
uint32_t readLe32(const uint8_t* p);
// The format record from the first bytes of a fmt body (missing bytes: 0).
WaveFormat formatFromBody(const uint8_t* body, size_t size);
// PCM the player can hand to the device (tag 1, or the extensible tag).
bool isPlayablePcm(const WaveFormat& format);

// A WAV image in memory: its format and where its samples are.
struct WaveImage {
  WaveFormat format;
  const uint8_t* data = nullptr;
  size_t size = 0;   // the data chunk's size, cut at the end of the image
};
bool parseWaveImage(const uint8_t* image, size_t size, WaveImage& out);

uint64_t readLe64(const uint8_t* p);

// Reads a file's RIFF header and fmt chunk, then walks to the "data" chunk,
// leaving the file at its first sample. An RF64 file (audio past 4 GiB) has
// its 64-bit data size taken from the ds64 chunk. False on any wrong tag or
// short read.
bool seekWaveData(std::FILE* file, WaveFormat& format, uint64_t& dataSize);

}  // namespace varlo
