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
// The lines of the bytes (splitLines) as strings of their own.
std::vector<std::string> lineStrings(std::string_view bytes);
// True when the first 64 KiB are not a text: a NUL anywhere, or more than
// 2 % of bytes no text holds (control characters other than tab, line and
// page ends; in a file that is not UTF-8, the five bytes Windows-1252 leaves
// undefined). An executable, an image, compressed or random data.
bool looksBinary(std::string_view bytes);

// Write the lines, each followed by LF. False when the file cannot be
// created or written completely; a half-written file is removed.
bool writeTextLines(const std::string& path, const std::vector<std::string>& lines);

// The name without its extension: without the last four characters when
// they are a dot and three more, else without the part from the last dot on.
std::string withoutExtension(std::string_view name);

}  // namespace varlo
