// Escaping, times, names and ids shared by the talking-book writers.
#include "production/book_markup.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/codepage.h"
#include "base/regular_file.h"

namespace varlo {

std::string xmlText(std::string_view cp1252) {
  std::string out;
  for (char c : cp1252) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default:
        // Control characters are not allowed in XML.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') out += c;
    }
  }
  return cp1252ToUtf8(out);
}

std::string clockTime(double seconds) {
  long whole = std::lround(std::max(0.0, seconds));
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
  return buffer;
}

std::string clipSeconds(uint64_t frames, int rate) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.3f", double(frames) / rate);
  return buffer;
}

double sectionSeconds(const BookSection& s, int rate) {
  return double(s.endFrame - s.firstFrame) / rate;
}

std::string numbered(const char* prefix, size_t n) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%s%03zu", prefix, n);
  return buffer;
}

std::string sectionAudioName(size_t section) { return numbered("s", section) + ".mp3"; }
std::string sectionSmilName(size_t section) { return numbered("s", section) + ".smil"; }

std::string sentenceId(char kind, size_t section, size_t sentence) {
  return std::string(1, kind) + numbered("", section) + "_" + std::to_string(sentence);
}

std::string headingId(const BookSection& s, size_t n) {
  return s.spokenTitle && !s.sentences.empty() ? sentenceId('s', n, 0) : numbered("h", n);
}

bool writeWholeFile(const std::string& path, const std::string& contents) {
  std::FILE* file = createOutputFile(path, "wb");
  if (!file) return false;
  bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace varlo
