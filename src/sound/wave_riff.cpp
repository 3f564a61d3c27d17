// The RIFF/WAVE layout shared by file and memory playback: the fmt chunk,
// the data chunk, and little-endian fields.
#include "sound/wave_riff.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace varlo {

namespace {

constexpr size_t kFmtBodyLimit = 8192;

bool readExactly(std::FILE* file, uint8_t* into, size_t n) {
  return std::fread(into, 1, n, file) == n;
}

// Reads a fmt body of any size, keeping its first bytes.
bool readFmtBody(std::FILE* file, uint32_t size, WaveFormat& format) {
  std::array<uint8_t, kFmtBodyLimit> body{};
  size_t kept = std::min<size_t>(size, body.size());
  if (!readExactly(file, body.data(), kept)) return false;
  if (size > kept && std::fseek(file, long(size - kept), SEEK_CUR) != 0) return false;
  format = formatFromBody(body.data(), kept);
  return true;
}

}  // namespace

bool sameTag(const uint8_t* bytes, const char* tag) {
  for (int i = 0; i < 4; ++i)
    if (std::tolower(bytes[i]) != std::tolower(static_cast<unsigned char>(tag[i]))) return false;
  return true;
}

uint16_t readLe16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

uint32_t readLe32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

uint64_t readLe64(const uint8_t* p) { return readLe32(p) | (uint64_t(readLe32(p + 4)) << 32); }

WaveFormat formatFromBody(const uint8_t* body, size_t size) {
  std::array<uint8_t, 16> record{};
  std::copy_n(body, std::min<size_t>(size, record.size()), record.begin());
  const uint8_t* r = record.data();
  return WaveFormat{readLe16(r), readLe16(r + 2), readLe32(r + 4),
                    readLe32(r + 8), readLe16(r + 12), readLe16(r + 14)};
}

bool isPlayablePcm(const WaveFormat& format) {
  return format.formatTag == 1 || format.formatTag == 0xFFFE;
}

bool parseWaveImage(const uint8_t* image, size_t size, WaveImage& out) {
  if (!image || size < 20 || !sameTag(image, "RIFF") || !sameTag(image + 12, "fmt ")) return false;
  uint32_t fmtSize = readLe32(image + 16);
  if (fmtSize > size - 20) return false;
  out.format = formatFromBody(image + 20, fmtSize);
  size_t at = 20 + size_t(fmtSize);
  while (size - at >= 8) {
    uint32_t chunkSize = readLe32(image + at + 4);
    if (sameTag(image + at, "data")) {
      out.data = image + at + 8;
      out.size = std::min<size_t>(chunkSize, size - at - 8);
      return true;
    }
    if (chunkSize > size - at - 8) return false;
    at += 8 + size_t(chunkSize);
  }
  return false;
}

bool seekWaveData(std::FILE* file, WaveFormat& format, uint64_t& dataSize) {
  uint8_t header[12];
  uint8_t chunk[8];
  if (!readExactly(file, header, 12)) return false;
  bool rf64 = sameTag(header, "RF64");
  if (!rf64 && !sameTag(header, "RIFF")) return false;
  // RF64: the ds64 chunk comes first; its data size stands for the data
  // chunk's 32-bit field, which then holds 0xFFFFFFFF.
  uint64_t bigDataSize = 0;
  if (rf64) {
    uint8_t ds64[28];
    if (!readExactly(file, chunk, 8) || !sameTag(chunk, "ds64")) return false;
    uint32_t size = readLe32(chunk + 4);
    if (size < sizeof ds64 || !readExactly(file, ds64, sizeof ds64)) return false;
    if (std::fseek(file, long(size - sizeof ds64), SEEK_CUR) != 0) return false;
    bigDataSize = readLe64(ds64 + 8);
  }
  if (!readExactly(file, chunk, 8) || !sameTag(chunk, "fmt ")) return false;
  if (!readFmtBody(file, readLe32(chunk + 4), format)) return false;
  while (readExactly(file, chunk, 8)) {
    uint32_t size = readLe32(chunk + 4);
    if (sameTag(chunk, "data")) {
      dataSize = rf64 && size == 0xFFFFFFFFu ? bigDataSize : size;
      return true;
    }
    if (std::fseek(file, long(size), SEEK_CUR) != 0) return false;
  }
  return false;
}

}  // namespace varlo
