// The stress scan of the suite synthesizer: from the last letter towards the
// first, a small state machine over the word's ending finds the syllable
// that carries the stress.
#include "engines/unit_stress.h"

#include <cctype>

namespace varlo {
namespace {

struct Scan {
  const std::string& w;
  unsigned char at(int i) const {
    return i >= 0 && i < int(w.size()) ? (unsigned char)w[i] : '\0';
  }
  bool isOneOf(int i, const char* set) const {
    unsigned char c = at(i);
    for (; c && *set; ++set)
      if (c == (unsigned char)*set) return true;
    return false;
  }
  bool consonant(int i) const { return isUnitConsonant(at(i)); }
  // A "u" that follows g or q (gue, qui): it belongs to the consonant.
  bool silentU(int i) const { return at(i) == 'u' && isOneOf(i - 1, "gq"); }
};

constexpr int kMarkNext = -1;     // upper-case the letter one to the right
constexpr int kMarkSecond = -2;   // ... two to the right

int step(const Scan& s, int state, int i) {
  switch (state) {
    case 0:
      if (s.isOneOf(i, "aeo")) return 5;
      if (s.isOneOf(i, "iu")) return 3;
      if (s.isOneOf(i, "lnrxz")) return 1;
      if (s.at(i) == 'm') return 2;
      if (s.at(i) == 's') return 4;
      return 0;
    case 1: return isUnitVowel(s.at(i)) ? 6 : 1;
    case 2:
      if (s.isOneOf(i, "ae")) return 5;
      if (s.isOneOf(i, "iu")) return 3;
      return s.at(i) == 'o' ? 6 : 2;
    case 3: return s.consonant(i) || s.silentU(i) ? 7 : 6;
    case 4:
      if (s.isOneOf(i, "aeo")) return 5;
      if (s.isOneOf(i, "iu")) return 3;
      return 4;
    case 5:
      if (s.isOneOf(i, "aeo")) return 6;
      if (s.isOneOf(i, "iu")) return 8;
      return 5;
    case 6: return kMarkNext;
    case 7: return kMarkSecond;
    case 8: {
      if (s.consonant(i) || s.silentU(i)) return 7;
      const bool closes = s.isOneOf(i + 2, "lmnrz") &&
                          ((s.at(i + 2) == 'n' && s.at(i + 3) == 'h') ||
                           (s.at(i + 2) == 'r' && s.at(i + 3) == 'r') ||
                           (s.consonant(i + 3) && s.at(i + 3) != 'h'));
      return closes ? 7 : 6;
    }
    default: return 0;
  }
}

void upperAt(std::string& w, int i) {
  if (i >= 0 && i < int(w.size())) w[i] = char(std::toupper((unsigned char)w[i]));
}

}  // namespace

void markUnitStress(UnitWord& word) {
  std::string& w = word.text;
  if (word.accented || word.vowels == 0) return;
  if (word.vowels == 1 && w.back() != 'l') return;
  for (char c : w)
    if (c >= 'A' && c <= 'Z') return;   // the respelling already says where
  Scan scan{w};
  int state = 0;
  for (int i = int(w.size()) - 1; i >= 0; --i) {
    int next = step(scan, state, i);
    if (next == kMarkNext) return upperAt(w, i + 1);
    if (next == kMarkSecond) return upperAt(w, i + 2);
    state = next;
  }
  // The scan ran off the front of the word ("asa"): the mark lands counting
  // from the place before its first letter.
  if (state == 6) upperAt(w, 0);
  if (state == 7) upperAt(w, 1);
}

}  // namespace varlo
