// PCM WAV and MP3 files read frame by frame for background playback.
#include "sound/sound_file.h"

#include <mpg123.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/regular_file.h"
#include "sound/wave_riff.h"

namespace varlo {

namespace {

bool mpegFrameHeader(const uint8_t* b) {
  // Frame sync, a layer, a bit rate index and a sample rate index that exist.
  return b[0] == 0xFF && (b[1] & 0xE0) == 0xE0 && (b[1] & 0x06) != 0 &&
         (b[2] & 0xF0) != 0xF0 && (b[2] & 0x0C) != 0x0C;
}

// A name that exists but is no regular file (a FIFO, a device) is no sound.
SoundFileError openFailure() { return errno == EINVAL ? SoundFileError::notSound : SoundFileError::notFound; }

SoundFileError openWave(const std::string& path, SoundFile& out) {
  std::FILE* file = openRegularFile(path, "rb");
  if (!file) return openFailure();
  WaveFormat format;
  uint64_t dataSize = 0;
  if (!seekWaveData(file, format, dataSize) || !isPlayablePcm(format) ||
      (format.bitsPerSample != 8 && format.bitsPerSample != 16) || format.channels == 0 ||
      format.sampleRate == 0) {
    std::fclose(file);
    return SoundFileError::notSound;
  }
  out.kind = SoundFileKind::wave;
  out.rate = int(format.sampleRate);
  out.bits = format.bitsPerSample;
  out.channels = format.channels;
  out.file = file;
  out.dataOffset = std::ftell(file);
  // A data chunk that claims more than the file holds ends with the file.
  std::fseek(file, 0, SEEK_END);
  long available = std::max(0L, std::ftell(file) - out.dataOffset);
  uint64_t bytes = std::min<uint64_t>(dataSize, uint64_t(available));
  out.frames = bytes / uint64_t(soundFrameBytes(out));
  std::fseek(file, out.dataOffset, SEEK_SET);
  return SoundFileError::none;
}

mpg123_handle* newDecoder() {
  static bool initialised = mpg123_init() == MPG123_OK;
  if (!initialised) return nullptr;
  mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
  if (!decoder) return nullptr;
  mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  // Garbage is not searched through for long: a damaged file ends early.
  mpg123_param(decoder, MPG123_RESYNC_LIMIT, 4096, 0);
  mpg123_format_none(decoder);
  const long* rates = nullptr;
  size_t count = 0;
  mpg123_rates(&rates, &count);
  for (size_t i = 0; i < count; ++i)
    mpg123_format(decoder, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  return decoder;
}

// The decoder reads through the file opened here, so that it never opens a
// name itself.
SoundFileError openMp3(const std::string& path, SoundFile& out) {
  std::FILE* file = openRegularFile(path, "rb");
  if (!file) return openFailure();
  mpg123_handle* decoder = newDecoder();
  if (!decoder) {
    std::fclose(file);
    return SoundFileError::unreadable;
  }
  long rate = 0;
  int channels = 0;
  int encoding = 0;
  bool ok = mpg123_open_fd(decoder, fileno(file)) == MPG123_OK &&
            mpg123_getformat(decoder, &rate, &channels, &encoding) == MPG123_OK &&
            rate > 0 && channels > 0 && mpg123_scan(decoder) == MPG123_OK;
  off_t length = ok ? mpg123_length(decoder) : 0;
  if (!ok || length <= 0) {
    mpg123_delete(decoder);
    std::fclose(file);
    return SoundFileError::notSound;
  }
  mpg123_seek(decoder, 0, SEEK_SET);
  out.kind = SoundFileKind::mp3;
  out.rate = int(rate);
  out.bits = 16;
  out.channels = channels;
  out.frames = uint64_t(length);
  out.decoder = decoder;
  out.file = file;
  return SoundFileError::none;
}

size_t readMp3(SoundFile& sound, uint8_t* buffer, size_t capacity) {
  size_t done = 0;
  while (done < capacity) {
    size_t got = 0;
    int result = mpg123_read(sound.decoder, buffer + done, capacity - done, &got);
    done += got;
    // A change of format inside the file is ignored: the samples keep coming
    // in the format the file began with.
    if (result == MPG123_NEW_FORMAT) continue;
    if (result != MPG123_OK || got == 0) break;
  }
  return done;
}

}  // namespace

SoundFileKind sniffSoundFile(const std::string& path) {
  std::FILE* file = openRegularFile(path, "rb");
  if (!file) return SoundFileKind::unknown;
  uint8_t head[4] = {};
  size_t got = std::fread(head, 1, 4, file);
  std::fclose(file);
  if (got < 4) return SoundFileKind::unknown;
  if (sameTag(head, "RIFF") || sameTag(head, "RF64")) return SoundFileKind::wave;
  if (std::memcmp(head, "ID3", 3) == 0 || mpegFrameHeader(head)) return SoundFileKind::mp3;
  return SoundFileKind::unknown;
}

SoundFileError openSoundFile(const std::string& path, SoundFileKind kind, SoundFile& out) {
  closeSoundFile(out);
  if (kind == SoundFileKind::unknown) kind = sniffSoundFile(path);
  if (kind == SoundFileKind::wave) return openWave(path, out);
  if (kind == SoundFileKind::mp3) return openMp3(path, out);
  std::FILE* probe = openRegularFile(path, "rb");
  if (!probe) return openFailure();
  std::fclose(probe);
  return SoundFileError::notSound;
}

size_t readSoundFile(SoundFile& sound, uint8_t* buffer, size_t capacity) {
  size_t frameBytes = size_t(std::max(1, soundFrameBytes(sound)));
  uint64_t framesLeft = sound.frames - std::min(sound.position, sound.frames);
  size_t want = size_t(std::min<uint64_t>(capacity / frameBytes, framesLeft)) * frameBytes;
  if (want == 0) return 0;
  size_t got = 0;
  if (sound.kind == SoundFileKind::wave) got = std::fread(buffer, 1, want, sound.file);
  else if (sound.kind == SoundFileKind::mp3) got = readMp3(sound, buffer, want);
  got -= got % frameBytes;
  sound.position += got / frameBytes;
  return got;
}

bool seekSoundFile(SoundFile& sound, uint64_t frame) {
  frame = std::min(frame, sound.frames);
  bool ok = false;
  if (sound.kind == SoundFileKind::wave) {
    long offset = sound.dataOffset + long(frame * uint64_t(soundFrameBytes(sound)));
    ok = std::fseek(sound.file, offset, SEEK_SET) == 0;
  } else if (sound.kind == SoundFileKind::mp3) {
    ok = mpg123_seek(sound.decoder, off_t(frame), SEEK_SET) >= 0;
  }
  if (ok) sound.position = frame;
  return ok;
}

void closeSoundFile(SoundFile& sound) {
  if (sound.decoder) mpg123_delete(sound.decoder);
  if (sound.file) std::fclose(sound.file);
  sound = SoundFile{};
}

}  // namespace varlo
