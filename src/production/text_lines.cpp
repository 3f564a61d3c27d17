// Reading and writing the plain text files of division and conversion, the
// binary-file test and the name without its extension.
#include "production/text_lines.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/codepage.h"
#include "base/regular_file.h"

namespace varlo {

namespace {

constexpr size_t kReadBlock = 65536;

// Appends up to a block; the bytes added, 0 at the end, -1 on failure.
ssize_t readBlock(int fd, std::string& into) {
  char block[kReadBlock];
  for (;;) {
    ssize_t got = read(fd, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got > 0) into.append(block, static_cast<size_t>(got));
    return got;
  }
}

}  // namespace

// Only plain files are read: a directory makes the stream library throw
// and a named pipe would wait for a writer forever.
bool readFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  int fd = openRegularFd(path, O_RDONLY);
  if (fd < 0) return false;
  ssize_t got;
  while ((got = readBlock(fd, bytes)) > 0) {}
  close(fd);
  return got == 0;
}

bool openLineReader(LineReader& reader, const std::string& path) {
  reader = LineReader{};
  reader.fd = openRegularFd(path, O_RDONLY);
  return reader.fd >= 0;
}

bool nextLine(LineReader& r, std::string& line) {
  for (;;) {
    size_t end = r.block.find('\n', r.at);
    if (end != std::string::npos || (r.ended && r.at < r.block.size())) {
      if (end == std::string::npos) end = r.block.size();
      line.assign(r.block, r.at, end - r.at);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      r.at = end + 1;
      return true;
    }
    if (r.ended || r.failed) return false;
    r.block.erase(0, std::min(r.at, r.block.size()));
    r.at = 0;
    ssize_t got = readBlock(r.fd, r.block);
    r.ended = got <= 0;
    r.failed = got < 0;
  }
}

void closeLineReader(LineReader& reader) {
  if (reader.fd >= 0) close(reader.fd);
  reader = LineReader{};
}

bool scanTextFile(const std::string& path, TextFacts& facts) {
  facts = TextFacts{};
  int fd = openRegularFd(path, O_RDONLY);
  if (fd < 0) return false;
  std::string head, block;
  Utf8Evidence utf8;
  ssize_t got;
  while ((got = readBlock(fd, block)) > 0) {
    if (head.size() < kReadBlock) head.append(block, 0, kReadBlock - head.size());
    facts.blank = facts.blank && block.find_first_not_of(" \t\r\n") == std::string::npos;
    addUtf8Evidence(utf8, block, false);
    block.clear();
  }
  close(fd);
  addUtf8Evidence(utf8, "", true);
  facts.binary = looksBinary(head);
  facts.utf8 = looksLikeUtf8(utf8);
  return got == 0;
}

namespace {

bool isControlNoTextHolds(unsigned char c) {
  return (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1A) || c == 0x7F;
}

bool isUndefinedInWindows1252(unsigned char c) {
  return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

}  // namespace

bool looksBinary(std::string_view bytes) {
  std::string_view sample = bytes.substr(0, 65536);
  if (sample.find('\0') != std::string_view::npos) return true;
  bool utf8 = looksLikeUtf8(sample);
  size_t odd = 0;
  for (char c : sample) {
    auto b = static_cast<unsigned char>(c);
    if (isControlNoTextHolds(b) || (!utf8 && isUndefinedInWindows1252(b))) ++odd;
  }
  return odd * 50 > sample.size();
}

std::string withoutExtension(std::string_view name) {
  size_t n = name.size();
  if (n >= 4 && name[n - 4] == '.') return std::string(name.substr(0, n - 4));
  size_t dot = name.find_last_of('.');
  size_t slash = name.find_last_of('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash) || dot == 0)
    return std::string(name);
  return std::string(name.substr(0, dot));
}

}  // namespace varlo
