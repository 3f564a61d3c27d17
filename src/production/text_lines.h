// Reading and writing the plain text files that division and conversion
// work on (their lines and blanks as platform/plain_text.h cuts them), and
// the tests that keep a binary file from being taken for a text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/plain_text.h"

namespace varlo {

// The whole file, false when it cannot be read.
bool readFileBytes(const std::string& path, std::string& bytes);
// True when the first 64 KiB are not a text: a NUL anywhere, or more than
// 2 % of bytes no text holds (control characters other than tab, line and
// page ends; in a file that is not UTF-8, the five bytes Windows-1252 leaves
// undefined). An executable, an image, compressed or random data.
bool looksBinary(std::string_view bytes);

// A text file read a block at a time, its lines cut as splitLines cuts them,
// so that a book of any size is gone through in little memory.
struct LineReader {
  int fd = -1;
  std::string block;   // read and not yet handed out, from `at` on
  size_t at = 0;
  bool ended = false;  // the file has no more bytes
  bool failed = false; // a read failed: the lines handed out are not all
};
// False when the file is no regular file or cannot be opened.
bool openLineReader(LineReader& reader, const std::string& path);
// The next line; false at the end of the file or when a read failed.
bool nextLine(LineReader& reader, std::string& line);
void closeLineReader(LineReader& reader);

// What division asks of a whole text, found while reading it once.
struct TextFacts {
  bool binary = false;   // looksBinary of its first 64 KiB
  bool utf8 = false;     // looksLikeUtf8 of all of it
  bool blank = true;     // nothing but blanks and line ends
};
// False when the file cannot be read.
bool scanTextFile(const std::string& path, TextFacts& facts);


// The name without its extension: without the last four characters when
// they are a dot and three more, else without the part from the last dot on.
std::string withoutExtension(std::string_view name);

}  // namespace varlo
