// Windows-1252 inside the program, UTF-8 outside (terminal, files written by
// other programs, file names on disk).
#pragma once

#include <string>
#include <string_view>

namespace varlo {

// Convert Windows-1252 bytes to UTF-8.
std::string cp1252ToUtf8(std::string_view text);
// Convert UTF-8 to Windows-1252; characters with no Windows-1252 form become
// '?'. Invalid UTF-8 bytes are kept as they are (read as Windows-1252).
std::string utf8ToCp1252(std::string_view text);
// True when the text holds at least one multi-byte UTF-8 sequence and no
// invalid one: such text is taken to be UTF-8.
bool looksLikeUtf8(std::string_view text);
// The same test over a text read a piece at a time: a character cut at a
// piece's end waits for the next piece; the last piece says so.
struct Utf8Evidence {
  bool valid = true, multiByte = false;
  std::string carry;
};
void addUtf8Evidence(Utf8Evidence& evidence, std::string_view piece, bool last);
inline bool looksLikeUtf8(const Utf8Evidence& e) { return e.valid && e.multiByte; }
// Text read from a file: UTF-8 (with or without a byte-order mark) is
// converted, anything else is taken as Windows-1252 already.
std::string textFromFile(std::string_view bytes);
// The Unicode code point of a Windows-1252 byte.
char32_t cp1252CodePoint(unsigned char byte);

}  // namespace varlo
