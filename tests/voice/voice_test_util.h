// Shared helpers of the recorded-voice tests: temporary directories, small
// rule files, segment files and letter recordings made on the spot.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "engines/diphone_voice.h"
#include "sound/wav_buffer.h"

namespace varlo::test {

namespace fs = std::filesystem;

inline fs::path makeVoiceDir(const std::string& stem) {
  std::string pattern = (fs::temp_directory_path() / (stem + "-XXXXXX")).string();
  return fs::path(mkdtemp(pattern.data()));
}

inline void writeText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline void writeWav(const fs::path& path, int rate, int bits, int channels, size_t bytes,
                     uint8_t level) {
  auto header = buildWavHeader(rate, bits, uint32_t(bytes), channels);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(header.data()), header.size());
  out << std::string(bytes, char(level));
}

// Segment files holding each name with `length` samples of one value, so
// that the output tells which segment was used (values from 140 up, in the
// order given). The index is written in the order given.
inline void writeSegments(const fs::path& dir, const std::vector<std::string>& names,
                          const std::vector<uint16_t>& lengths) {
  std::ofstream index(dir / "DIFONES2.IND", std::ios::binary);
  std::ofstream data(dir / "DIFONES2.DIF", std::ios::binary);
  uint32_t offset = 0;
  for (size_t i = 0; i < names.size(); ++i) {
    uint8_t record[kIndexRecordBytes];
    writeIndexRecord(record, names[i], lengths[i], offset);
    index.write(reinterpret_cast<const char*>(record), sizeof record);
    data << std::string(lengths[i], char(140 + i));
    offset += lengths[i];
  }
}

}  // namespace varlo::test
