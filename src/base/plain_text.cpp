// Trimming blanks and cutting text into lines (at LF, a CR before it dropped).
#include "base/plain_text.h"

namespace varlo {

namespace {

std::string_view trimmedWhile(std::string_view text, bool (*trimmed)(unsigned char)) {
  size_t begin = 0, end = text.size();
  while (begin < end && trimmed(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && trimmed(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

}  // namespace

std::string_view trimBlanks(std::string_view text) {
  return trimmedWhile(text, [](unsigned char c) { return c <= ' '; });
}

std::string_view trimSpaces(std::string_view text) {
  return trimmedWhile(text, [](unsigned char c) { return c == ' '; });
}

std::string upperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  }
  return out;
}

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace varlo
