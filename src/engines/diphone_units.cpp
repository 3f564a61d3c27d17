// Reading a unit string: chunks between blanks, brackets and slashes are
// split into units, units into segment names, and names that the data lacks
// are made of shorter ones.
#include <string>

#include "console/console.h"
#include "engines/diphone_store.h"

namespace varlo {
namespace {

constexpr size_t kLongestChunk = 40;
constexpr size_t kLongestUnit = 12;
constexpr int kNoiseSamples = 300;

struct Reader {
  std::string_view units;
  size_t pos = 0;
  int mode = 1;              // 1 before the stress, 2 on it, 0 after it
  bool noPauses = false;
  char separator = '\0';     // what ended the last chunk
};

bool isConsonant(char c) { return std::string_view("bcdfgjklmnpqrstvxz").find(c) != std::string_view::npos; }
bool isVowel(char c) { return std::string_view("AEIOUaeiouwy").find(c) != std::string_view::npos; }
bool isStressed(char c) { return std::string_view("AEIOU").find(c) != std::string_view::npos; }

int pauseAfter(char mark) {
  switch (mark) {
    case ',': return 4000;
    case '.': return 8000;
    case ';': return 6000;
    case ':': return 8000;
    default: return 0;
  }
}

void emitSegment(const std::string& name, int& mode, double factor);

// A name the index lacks, rebuilt from shorter names.
void fallBack(const std::string& name, int& mode, double factor) {
  const size_t n = name.size();
  if (isVowel(name.back())) {
    diphoneStats().fallback++;
    emitSegment(name.substr(0, n - 1), mode, 0.9 * factor);
    emitSegment(std::string("$") + name.back(), mode, factor);
  } else if (n >= 7 && name.ends_with("CIRC")) {
    diphoneStats().fallback++;
    emitSegment(name.substr(0, n - 5), mode, 0.9 * factor);
    emitSegment("$" + name.substr(n - 5), mode, factor);
  } else if (name.ends_with("TIL")) {
    diphoneStats().fallback++;
    std::string base = name.substr(0, n - 3);
    const char last = base.empty() ? '\0' : base.back();
    if (last != 'I' && last != 'i' && last != 'U' && last != 'u') {
      base += "CIRC";
      mode = 2;
    }
    emitSegment(base, mode, 0.9 * factor);
    int nasalMode = 1;
    emitSegment("$nn", nasalMode, 0.9);
  } else {
    diphoneStats().missing++;
  }
}

void emitSegment(const std::string& name, int& mode, double factor) {
  if (name.empty()) return;
  const bool found = name[0] == '_' ? appendLetterFile(name) : appendSegment(name, mode, factor);
  if (found) {
    diphoneStats().found++;
  } else if (name.size() <= 2) {
    diphoneStats().noise++;
    appendFill(kNoiseSamples, true);
  } else {
    fallBack(name, mode, factor);
  }
}

void emitUnit(std::string_view unit, double factor, int& mode) {
  unit = unit.substr(0, kLongestUnit);
  if (unit.empty()) return;
  if (unit[0] == '_') {
    const unsigned char c = unit.size() > 1 ? unit[1] : ' ';
    emitSegment("_" + std::to_string(c), mode, factor);
    return;
  }
  std::string name = "$";
  bool stressed = false;
  for (char c : unit) {
    if (isStressed(c)) {
      stressed = true;
      mode = 2;
    }
    if (c == '^' || c == '~') {
      emitSegment(name + (c == '^' ? "CIRC" : "TIL"), mode, factor);
      name = "$";
    } else {
      name += c;
    }
  }
  if (name != "$") emitSegment(name, mode, factor);
  if (stressed) mode = 0;
}

void splitChunk(std::string_view chunk, double x, int& mode) {
  const size_t L = chunk.size();
  if (L == 0) return;
  if (L == 1) return emitUnit(chunk, x, mode);
  auto allBut = [&chunk](size_t n) { return chunk.substr(0, chunk.size() - n); };
  const char last = chunk.back();
  if (L > 2) {
    const std::string_view two = chunk.substr(0, 2);
    if (isConsonant(chunk[0]) && isConsonant(chunk[1]) && two != "dj" && two != "nh" &&
        two != "rr" && two != "ks" && !chunk.starts_with("tch")) {
      emitUnit(chunk.substr(0, 1), 1.0, mode);
      return splitChunk(chunk.substr(1), x, mode);
    }
    if (chunk.ends_with("rr")) {
      splitChunk(allBut(2), x, mode);
      return emitUnit("rr", x, mode);
    }
    if (isConsonant(last)) {
      splitChunk(allBut(1), x, mode);
      return splitChunk(chunk.substr(L - 1), x, mode);
    }
  }
  if (last == 'w' || last == 'y') {
    const char before = chunk[L - 2];
    if (isVowel(before) && L > 2) {
      splitChunk(allBut(1), 0.6, mode);
      return emitUnit(chunk.substr(L - 2), x, mode);
    }
    if (before == '^' || before == '~') {
      if (L > 3) {
        std::string head(before == '~' ? allBut(2) : allBut(1));
        if (before == '~') head += '^';
        splitChunk(head, 0.6, mode);
        const char unit[] = {chunk[L - 3], chunk[L - 1], chunk[L - 2], '\0'};
        return emitUnit(unit, x, mode);
      }
      if (L == 3) {
        const char unit[] = {chunk[0], chunk[2], chunk[1], '\0'};
        return emitUnit(unit, x, mode);
      }
    }
  }
  if (chunk != "_s" && last == 's') {
    splitChunk(allBut(1), 0.7, mode);
    return emitUnit("s", x, mode);
  }
  emitUnit(chunk, x, mode);
}

// The next chunk of units; a punctuation chunk becomes its pause.
std::string readChunk(Reader& r) {
  const std::string_view u = r.units;
  if (r.pos < u.size() && u[r.pos] == '[') {
    r.mode = 1;
    ++r.pos;
  }
  std::string chunk;
  r.separator = '\0';
  while (r.pos < u.size()) {
    const char c = u[r.pos];
    if (c == ' ' || c == ']' || (c == '/' && chunk.size() > 8)) {
      r.separator = c;
      ++r.pos;
      break;
    }
    ++r.pos;
    if (c == '/') continue;
    if (c == '_' && r.pos < u.size()) {
      chunk += '_';
      chunk += u[r.pos++];
    } else if (c == '|') {
      chunk = "_TRACO";
    } else {
      chunk += c;
    }
    if (chunk.size() > kLongestChunk) chunk.resize(kLongestChunk);
  }
  if (!r.noPauses && chunk.size() == 2 && chunk[0] == '_' && pauseAfter(chunk[1]) > 0) {
    appendFill(size_t(pauseAfter(chunk[1])), false);
    chunk.clear();
  }
  return chunk;
}

}  // namespace

void speakUnits(std::string_view units, bool noPunctuationPauses) {
  if (!diphoneVoiceLoaded()) return;
  resetOutput();
  Reader r{units};
  r.noPauses = noPunctuationPauses;
  while (r.pos < units.size()) {
    if (keyPending()) {
      resetOutput();
      return;
    }
    const std::string chunk = readChunk(r);
    splitChunk(chunk, 1.0, r.mode);
    if (r.separator == ']' || r.separator == '/')
      appendFill(size_t(std::max(0, diphoneTiming().wordGap)), false);
  }
  flushOutput();
}

}  // namespace varlo
