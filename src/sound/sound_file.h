// Sound files read as PCM, frame by frame, for playback in the background:
// PCM WAV files and MP3 files (decoded with libmpg123, always to 16 bits).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

struct mpg123_handle_struct;

namespace varlo {

enum class SoundFileKind { unknown, wave, mp3 };

enum class SoundFileError { none, notFound, notSound, unreadable };

struct SoundFile {
  SoundFileKind kind = SoundFileKind::unknown;
  int rate = 0;
  int bits = 0;
  int channels = 0;
  uint64_t frames = 0;     // length
  uint64_t position = 0;   // the next frame read
  // The open file; for a WAV, also where its samples begin.
  std::FILE* file = nullptr;
  long dataOffset = 0;
  // MP3: the decoder.
  mpg123_handle_struct* decoder = nullptr;
};

// The kind a file's first bytes show: "RIFF" is a WAV file, an ID3 tag or an
// MPEG audio frame header an MP3 file.
SoundFileKind sniffSoundFile(const std::string& path);

// Opens a file as the kind given (unknown: as its first bytes show).
SoundFileError openSoundFile(const std::string& path, SoundFileKind kind, SoundFile& out);
// Reads whole frames into buffer; the bytes read, 0 at the end or on a
// decoding error.
size_t readSoundFile(SoundFile& sound, uint8_t* buffer, size_t capacity);
// Moves the next read to a frame (at most the length).
bool seekSoundFile(SoundFile& sound, uint64_t frame);
void closeSoundFile(SoundFile& sound);

inline int soundFrameBytes(const SoundFile& sound) { return sound.bits / 8 * sound.channels; }

}  // namespace varlo
