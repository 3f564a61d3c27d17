// The diphone list and the last Olira stage: letter-to-sound lines become
// phoneme lines with durations, pitch points and bridges for missing diphones.
#include "engines/olira_phonemes.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "engines/olira_prosody.h"
#include "engines/olira_text.h"

namespace varlo {

namespace {

constexpr int kStressed = 145;
constexpr int kUnstressed = 100;
constexpr int kPauseDefault = 100;
constexpr unsigned char kMarker = 0xA8;  // "¨"

std::vector<std::string> diphones;  // "FIRST-SECOND", sorted

bool isNameChar(unsigned char c) {
  c = upperAnsi(c);
  return c == '2' || c == '_' || (c >= '@' && c <= 'Z');
}

// The next run of name characters from pos, "" at the end.
std::string nextName(std::string_view line, size_t& pos) {
  while (pos < line.size() && !isNameChar(line[pos])) ++pos;
  size_t start = pos;
  while (pos < line.size() && isNameChar(line[pos])) ++pos;
  return upperAnsi(line.substr(start, pos - start));
}

std::string diphoneKey(std::string_view first, std::string_view second) {
  return upperAnsi(first) + "-" + upperAnsi(second);
}

// State of the walk over the lines of one text.
struct Walk {
  double durationFactor = 1.0;
  double pitchFactor = 1.0;
  int stress = kUnstressed;
  std::string code = "555";
  int phase = 0;
  size_t wordLength = 0;
  std::string previous = "_";
  std::string current;
};

bool isHeader(const std::string& line) {
  return line.size() >= 5 && line[0] == ';' && line[4] == '|';
}

int shortened(int base, const Walk& walk) {
  if (walk.phase >= 2) return base;
  if (walk.wordLength > 13) return base * 80 / 100;
  if (walk.wordLength >= 10) return base * 90 / 100;
  return base;
}

// Base duration of a line without its markers; sets the phoneme written.
int baseDuration(const std::string& line, const Walk& walk, std::string& phoneme) {
  bool found;
  if (line[0] != '_') {
    phoneme = line;
    return shortened(phonemeDuration(line, found), walk);
  }
  phoneme = "_";
  if (line == "_") return kPauseDefault;
  int ms;
  if (line.size() > 2 && line[1] == ' ' &&
      std::from_chars(line.data() + 2, line.data() + line.size(), ms).ec == std::errc())
    return ms;
  return phonemeDuration(line, found);
}

// The pitch point this phoneme carries, if any: "position pitch".
std::string pitchPoint(Walk& walk, bool last) {
  int digit, position;
  if (walk.phase == 0) {
    digit = walk.code[0], position = 50, walk.phase = 1;
  } else if (walk.phase == 2) {
    digit = walk.code[1], position = 80, walk.phase = 3;
  } else if (walk.phase == 3 && last) {
    digit = walk.code[2], position = 50;
  } else {
    return "";
  }
  int level = pitchLevel(digit - '0');
  if (level == 0) return "";
  long pitch = std::lround(level * walk.pitchFactor * baseHertz()) / 100;
  return " " + std::to_string(position) + " " + std::to_string(pitch);
}

std::string phonemeLine(std::string line, Walk& walk, bool last) {
  if (line[0] == '>') {
    walk.stress = kStressed;
    line.erase(0, 1);
    if (!line.empty() && (unsigned char)line[0] == kMarker) line.erase(0, 1);
    walk.phase = 2;
  } else {
    if ((unsigned char)line[0] == kMarker) line.erase(0, 1);
    walk.stress = kUnstressed;
  }
  if (line.empty()) line = "_";
  std::string phoneme;
  int base = baseDuration(line, walk, phoneme);
  walk.current = phoneme;
  long duration = std::lround(base * walk.stress * walk.durationFactor) / 100;
  return phoneme + " " + std::to_string(duration) + pitchPoint(walk, last);
}

// The line put before a phoneme whose diphone with the previous one the
// voice lacks.
const char* bridge(const std::string& previous) {
  if (previous == "r2" && hasDiphone("r2", "_")) return "_ 50";
  if (hasDiphone(previous, "y")) return "y 50";
  return "_ 50";
}

}  // namespace

bool loadDiphones(const std::string& path) {
  releaseDiphones();
  std::string text;
  if (!readDataFile(path, text)) return false;
  for (std::string_view line : splitLines(text)) {
    if (line.empty() || line[0] == '!' || line[0] == '*' || line[0] == ';') continue;
    size_t pos = 0;
    std::string first = nextName(line, pos);
    std::string second = nextName(line, pos);
    if (!first.empty() && !second.empty()) diphones.push_back(first + "-" + second);
  }
  std::sort(diphones.begin(), diphones.end());
  return true;
}

void releaseDiphones() { diphones.clear(); }

bool hasDiphone(std::string_view first, std::string_view second) {
  return std::binary_search(diphones.begin(), diphones.end(), diphoneKey(first, second));
}

std::vector<std::string> phonemeLines(const std::vector<std::string>& lines,
                                      double durationFactor, double pitchFactor) {
  std::vector<std::string> out;
  Walk walk;
  walk.durationFactor = durationFactor;
  walk.pitchFactor = pitchFactor;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    bool last = i + 1 == lines.size() || lines[i + 1].empty();
    if (isHeader(line)) {
      walk.code = line.substr(1, 3);
      out.push_back(";" + line.substr(5));
      walk.wordLength = out.back().size();
      walk.phase = 0;
    } else if (line.empty()) {
      walk.stress = kUnstressed;
      walk.current.clear();
      out.push_back(line);
    } else {
      std::string written = phonemeLine(line, walk, last);
      if (!hasDiphone(walk.previous, walk.current)) out.push_back(bridge(walk.previous));
      walk.previous = walk.current;
      out.push_back(written);
    }
  }
  return out;
}

}  // namespace varlo
