// Building WAV files byte by byte for the sound tests, including damaged
// and unusual ones.
#pragma once

#include <cstdint>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace varlo::test {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
inline void put32(Bytes& b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}
inline void putTag(Bytes& b, const char* tag) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(tag[i]));
}

inline void putChunk(Bytes& b, const char* tag, const Bytes& body) {
  putTag(b, tag);
  put32(b, uint32_t(body.size()));
  b.insert(b.end(), body.begin(), body.end());
}

inline Bytes fmtBody(int rate, int bits, int channels, int formatTag = 1) {
  Bytes f;
  int align = channels * bits / 8;
  put16(f, uint32_t(formatTag));
  put16(f, uint32_t(channels));
  put32(f, uint32_t(rate));
  put32(f, uint32_t(rate * align));
  put16(f, uint32_t(align));
  put16(f, uint32_t(bits));
  return f;
}

// RIFF header, fmt chunk, any extra chunks, then the data chunk.
inline Bytes wavBytes(int rate, int bits, int channels, const Bytes& data,
                      const Bytes& extraChunks = {}, int formatTag = 1) {
  Bytes b;
  putTag(b, "RIFF");
  put32(b, 0);
  putTag(b, "WAVE");
  putChunk(b, "fmt ", fmtBody(rate, bits, channels, formatTag));
  b.insert(b.end(), extraChunks.begin(), extraChunks.end());
  putChunk(b, "data", data);
  uint32_t riff = uint32_t(b.size() - 8);
  for (int i = 0; i < 4; ++i) b[4 + size_t(i)] = uint8_t(riff >> (8 * i));
  return b;
}

inline Bytes samples16(const std::vector<int16_t>& values) {
  Bytes b;
  for (int16_t v : values) put16(b, uint16_t(v));
  return b;
}

inline void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              std::streamsize(bytes.size()));
}

inline Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// A fresh directory under the system's temporary directory, one per process
// so that tests run side by side do not meet.
inline std::string freshDirectory(const std::string& name) {
  auto dir = std::filesystem::temp_directory_path() /
             ("varlo_sound_" + name + "_" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string();
}

}  // namespace varlo::test
