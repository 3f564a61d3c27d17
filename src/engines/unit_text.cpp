// Folding of accented letters, normalization and word cutting for the suite
// synthesizer's translator.
#include "engines/unit_text.h"

#include <array>

namespace varlo {
namespace {

// Folded forms of the bytes 128..255. Bytes 128..159 are read as the DOS
// Latin-1 code page (texts written under DOS), the rest as Windows-1252.
const std::array<const char*, 128>& foldTable() {
  static const std::array<const char*, 128> table = [] {
    std::array<const char*, 128> t{};
    auto set = [&t](int code, const char* folded) { t[code - 128] = folded; };
    const char* dos[] = {"ss", "u\"", "e'", "a^", "a~", "a`", "a'", "ss", "e^", "e\"",
                         "e`", "i\"", "i^", "i`", "a~", "a'", "e'", "ae", "-", "o^",
                         "o~", "o`", "u^", "u`", "y-", "o~", "u\""};
    for (int i = 0; i < 27; ++i) set(128 + i, dos[i]);
    set(160, "a'"), set(161, "i'"), set(162, "o'"), set(163, "u'");
    set(164, "nh"), set(165, "nh");
    set(167, "\xA7"), set(171, "\xAB"), set(187, "\xBB");
    set(168, "?"), set(191, "?"), set(173, "!"), set(174, "\""), set(175, "\"");
    // Upper and lower case of the Latin-1 letters share one folding.
    for (int base : {192, 224}) {
      const char* grave[] = {"a`", "e`", "i`", "o`", "u`"};
      const char* acute[] = {"a'", "e'", "i'", "o'", "u'"};
      const char* circ[] = {"a^", "e^", "i^", "o^", "u^"};
      const int graveAt[] = {0, 8, 12, 18, 25};
      const int acuteAt[] = {1, 9, 13, 19, 26};
      const int circAt[] = {2, 10, 14, 20, 27};
      for (int v = 0; v < 5; ++v) {
        set(base + graveAt[v], grave[v]);
        set(base + acuteAt[v], acute[v]);
        set(base + circAt[v], circ[v]);
      }
      set(base + 3, "a~"), set(base + 21, "o~"), set(base + 4, "a~");
      set(base + 11, "e\""), set(base + 15, "i\"");
      set(base + 22, "o`"), set(base + 28, "u"), set(base + 5, "a");
      set(base + 6, "ae"), set(base + 7, "ss"), set(base + 17, "nh");
      set(base + 23, "x"), set(base + 24, "0");
    }
    return t;
  }();
  return table;
}

char lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : char(c); }

}  // namespace

std::string_view foldAccent(unsigned char c) {
  if (c < 128) return {};
  const char* folded = foldTable()[c - 128];
  return folded ? std::string_view(folded) : std::string_view();
}

bool isUnitVowel(unsigned char c) {
  switch (lower(c)) {
    case 'a': case 'e': case 'i': case 'o': case 'u': return true;
    default: return false;
  }
}

bool isUnitLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isUnitConsonant(unsigned char c) { return isUnitLetter(c) && !isUnitVowel(c); }

bool isUnitMark(unsigned char c) {
  return c == '\'' || c == '`' || c == '^' || c == '~' || c == '"';
}

std::string normalizeUnitText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  auto letterAt = [&text](size_t i) { return i < text.size() && isUnitLetter(text[i]); };
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = text[i];
    const bool besideLetter = (i > 0 && letterAt(i - 1)) || letterAt(i + 1);
    if ((c == 'w' || c == 'W') && besideLetter) {
      out += 'u';
    } else if ((c == 'y' || c == 'Y') && besideLetter) {
      out += 'i';
    } else if (c == '\'' && i > 0 && (text[i - 1] == 'd' || text[i - 1] == 'D')) {
      continue;
    } else if (c < 32 || (c >= 128 && foldAccent(c).empty())) {
      out += "  ";
    } else if (c >= 128) {
      out += foldAccent(c);
    } else {
      out += char(c);
    }
  }
  return out;
}

void measureUnitWord(UnitWord& word) {
  word.vowels = 0;
  word.accented = false;
  for (unsigned char c : word.text) {
    if (isUnitVowel(c)) ++word.vowels;
    if (isUnitMark(c) && c != '"') word.accented = true;
  }
}

bool nextUnitWord(std::string_view text, size_t& pos, UnitWord& word) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
  if (pos >= text.size()) return false;
  word.text.clear();
  if (!isUnitLetter(text[pos])) {
    word.text = lower(text[pos++]);
  } else {
    while (pos < text.size() && (isUnitLetter(text[pos]) || isUnitMark(text[pos])))
      word.text += lower(text[pos++]);
  }
  measureUnitWord(word);
  return true;
}

}  // namespace varlo
