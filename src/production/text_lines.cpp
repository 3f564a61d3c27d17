// Reading and writing the plain text files of division and conversion, the
// binary-file test and the name without its extension.
#include "production/text_lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/codepage.h"

namespace varlo {

// Only plain files are read: a directory makes the stream library throw
// and a named pipe would wait for a writer forever.
bool readFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char block[65536];
  ssize_t got;
  while ((got = read(fd, block, sizeof block)) != 0) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) break;
    bytes.append(block, static_cast<size_t>(got));
  }
  close(fd);
  return got == 0;
}

std::vector<std::string> lineStrings(std::string_view bytes) {
  std::vector<std::string_view> lines = splitLines(bytes);
  return {lines.begin(), lines.end()};
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

bool writeTextLines(const std::string& path, const std::vector<std::string>& lines) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = true;
  for (const std::string& line : lines) {
    ok = ok && std::fwrite(line.data(), 1, line.size(), file) == line.size();
    ok = ok && std::fputc('\n', file) != EOF;
  }
  ok = std::fclose(file) == 0 && ok;
  if (!ok) std::remove(path.c_str());
  return ok;
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
