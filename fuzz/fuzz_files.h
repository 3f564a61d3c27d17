// Scratch files for the fuzz targets that read from disk: one private
// directory per process, and the input bytes written into it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace varlo::fuzz {

inline const std::string& scratchDirectory() {
  static const std::string dir = [] {
    std::string pattern = "/tmp/varlo-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern;
  }();
  return dir;
}

inline std::string writeScratchFile(const std::string& name, std::string_view bytes) {
  std::string path = scratchDirectory() + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

// The input as text, and a check that stops the run with a message when a
// property of the reader does not hold.
inline std::string_view asText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The input after its first byte, cut in two where that byte says (its share
// of 256); false for an empty input.
inline bool splitAtFirstByte(const uint8_t* data, size_t size, std::string_view& first,
                             std::string_view& second) {
  if (size < 1) return false;
  std::string_view rest = asText(data + 1, size - 1);
  size_t cut = rest.size() * data[0] / 256;
  first = rest.substr(0, cut);
  second = rest.substr(cut);
  return true;
}

inline void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", what);
  std::abort();
}

}  // namespace varlo::fuzz
