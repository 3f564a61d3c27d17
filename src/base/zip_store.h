// A ZIP archive of files stored without compression, written entry by entry
// in the order given (an EPUB's "mimetype" must come first, uncompressed,
// with no extra field). Archives and entries are limited to 4 GiB: a bigger
// one fails rather than being written with the ZIP64 extensions.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace varlo {

struct ZipStore {
  struct Entry {
    std::string name;
    uint32_t crc = 0, size = 0, offset = 0;
  };
  std::FILE* file = nullptr;
  std::vector<Entry> entries;
  uint16_t dosTime = 0, dosDate = 0;
  bool failed = false;
};

// Creates the archive (as a scratch file); false when it cannot be.
bool openZipStore(ZipStore& zip, const std::string& path);
// Adds the contents of a file under the name (with '/' between folders).
bool addZipFile(ZipStore& zip, const std::string& name, const std::string& path);
// Adds bytes under the name.
bool addZipText(ZipStore& zip, const std::string& name, const std::string& contents);
// Writes the central directory and closes the archive: true when every
// entry and the directory were written whole.
bool closeZipStore(ZipStore& zip);

// The CRC-32 of ZIP and PNG, continued from `crc` (0 to start).
uint32_t crc32Of(const void* data, size_t size, uint32_t crc = 0);

}  // namespace varlo
