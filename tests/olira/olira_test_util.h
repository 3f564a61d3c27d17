// Helpers of the Olira tests: Windows-1252 literals and scratch data files.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "base/codepage.h"

namespace varlo::test {

// A UTF-8 literal as the program's Windows-1252 text.
inline std::string cp(const char* utf8) { return utf8ToCp1252(utf8); }

// A fresh directory under the system's temporary directory.
inline std::string scratchDirectory() {
  std::string pattern = "/tmp/olira_test_XXXXXX";
  char* dir = mkdtemp(pattern.data());
  return dir ? std::string(dir) : std::string("/tmp");
}

// Writes a file (its text given in UTF-8, stored as Windows-1252).
inline std::string writeFile(const std::string& dir, const std::string& name,
                             const std::string& utf8Text) {
  std::string path = dir + "/" + name;
  std::ofstream(path, std::ios::binary) << utf8ToCp1252(utf8Text);
  return path;
}

inline std::string shippedData(const char* extension) {
  return std::string(VARLO_SOURCE_DIR) + "/data/olira/portug" + extension;
}

}  // namespace varlo::test
