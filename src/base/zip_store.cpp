// Writing a stored (uncompressed) ZIP archive: each entry's local header is
// written first and its CRC and size filled in once its data is copied, so
// every file is read once.
#include "base/zip_store.h"

#include <algorithm>
#include <ctime>
#include <limits>

#include "base/regular_file.h"

namespace varlo {

namespace {

constexpr uint64_t kMost = std::numeric_limits<uint32_t>::max();
constexpr size_t kMostEntries = 0xFFFF;
constexpr size_t kBlock = 65536;

void put16(std::string& out, uint32_t v) {
  out += char(v & 0xFF);
  out += char(v >> 8 & 0xFF);
}

void put32(std::string& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

bool writeBytes(ZipStore& zip, const std::string& bytes) {
  if (!zip.failed && std::fwrite(bytes.data(), 1, bytes.size(), zip.file) != bytes.size())
    zip.failed = true;
  return !zip.failed;
}

// The fields a local header and a central directory record share, from
// "version needed" to the extra field's length.
std::string commonFields(const ZipStore& zip, const ZipStore::Entry& e) {
  std::string out;
  put16(out, 10);   // version 1.0: stored
  put16(out, 0);    // no flags
  put16(out, 0);    // stored
  put16(out, zip.dosTime);
  put16(out, zip.dosDate);
  put32(out, e.crc);
  put32(out, e.size);
  put32(out, e.size);
  put16(out, uint16_t(e.name.size()));
  put16(out, 0);    // no extra field
  return out;
}

// Starts an entry: its local header with the CRC and size still unknown.
bool beginEntry(ZipStore& zip, const std::string& name) {
  long at = std::ftell(zip.file);
  if (zip.failed || at < 0 || uint64_t(at) > kMost || zip.entries.size() == kMostEntries ||
      name.size() > 0xFFFF)
    return zip.failed = true, false;
  zip.entries.push_back({name, 0, 0, uint32_t(at)});
  std::string header;
  put32(header, 0x04034b50);
  return writeBytes(zip, header + commonFields(zip, zip.entries.back()) + name);
}

// Ends the entry whose `size` bytes were written with the CRC given.
bool endEntry(ZipStore& zip, uint32_t crc, uint64_t size) {
  ZipStore::Entry& e = zip.entries.back();
  if (zip.failed || size > kMost) return zip.failed = true, false;
  e.crc = crc;
  e.size = uint32_t(size);
  std::string fields;
  put32(fields, e.crc);
  put32(fields, e.size);
  put32(fields, e.size);
  // The CRC is 14 bytes into the local header.
  if (std::fseek(zip.file, long(e.offset) + 14, SEEK_SET) != 0 || !writeBytes(zip, fields) ||
      std::fseek(zip.file, 0, SEEK_END) != 0)
    zip.failed = true;
  return !zip.failed;
}

}  // namespace

uint32_t crc32Of(const void* data, size_t size, uint32_t crc) {
  static const auto table = [] {
    std::vector<uint32_t> t(256);
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

bool openZipStore(ZipStore& zip, const std::string& path) {
  zip = ZipStore{};
  zip.file = createScratchFile(path, "w+b");
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  zip.dosTime = uint16_t(t.tm_hour << 11 | t.tm_min << 5 | t.tm_sec / 2);
  zip.dosDate = uint16_t((std::max(t.tm_year, 80) - 80) << 9 | (t.tm_mon + 1) << 5 | t.tm_mday);
  return zip.file != nullptr;
}

bool addZipText(ZipStore& zip, const std::string& name, const std::string& contents) {
  return beginEntry(zip, name) && writeBytes(zip, contents) &&
         endEntry(zip, crc32Of(contents.data(), contents.size()), contents.size());
}

bool addZipFile(ZipStore& zip, const std::string& name, const std::string& path) {
  std::FILE* in = openRegularFile(path, "rb");
  if (!in) return zip.failed = true, false;
  bool ok = beginEntry(zip, name);
  uint32_t crc = 0;
  uint64_t size = 0;
  std::vector<char> block(kBlock);
  for (size_t got; ok && (got = std::fread(block.data(), 1, block.size(), in)) > 0;) {
    crc = crc32Of(block.data(), got, crc);
    size += got;
    ok = writeBytes(zip, std::string(block.data(), got));
  }
  ok = ok && !std::ferror(in) && endEntry(zip, crc, size);
  std::fclose(in);
  if (!ok) zip.failed = true;
  return ok;
}

bool closeZipStore(ZipStore& zip) {
  if (!zip.file) return false;
  long start = std::ftell(zip.file);
  std::string directory;
  for (const ZipStore::Entry& e : zip.entries) {
    put32(directory, 0x02014b50);
    put16(directory, 3 << 8 | 20);   // made on Unix by version 2.0
    std::string common = commonFields(zip, e);
    directory += common;
    put16(directory, 0);             // no comment
    put16(directory, 0);             // disk 0
    put16(directory, 0);             // no internal attributes
    put32(directory, 0100644u << 16);   // a regular file, rw-r--r--
    put32(directory, e.offset);
    directory += e.name;
  }
  if (start < 0 || uint64_t(start) + directory.size() > kMost) zip.failed = true;
  std::string end;
  put32(end, 0x06054b50);
  put16(end, 0);
  put16(end, 0);
  put16(end, uint16_t(zip.entries.size()));
  put16(end, uint16_t(zip.entries.size()));
  put32(end, uint32_t(directory.size()));
  put32(end, uint32_t(start));
  put16(end, 0);
  bool ok = writeBytes(zip, directory + end);
  if (std::fclose(zip.file) != 0) ok = false;
  zip.file = nullptr;
  return ok && !zip.failed;
}

}  // namespace varlo
