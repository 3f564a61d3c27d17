// Finding the stressed vowel of a Portuguese word from its accents, or
// failing those from its ending.
#include "engines/olira_stress.h"

#include <string>

#include "engines/olira_text.h"

namespace varlo {

namespace {

// á â é ê í ó ô ú mark the stress; ã õ mark it only when no other accent
// does (órgão, bênção); à is the unstressed crase (àquele).
bool isStressAccent(unsigned char c) {
  switch (c) {
    case 0xE1: case 0xE2: case 0xE9: case 0xEA: case 0xED: case 0xF3: case 0xF4: case 0xFA:
      return true;
    default:
      return false;
  }
}
bool isTilde(unsigned char c) { return c == 0xE3 || c == 0xF5; }

bool isStressVowel(unsigned char c) {
  switch (c) {
    case 'a': case 'e': case 'i': case 'o': case 'u': case 'w': case 'y': case 0xFC:
      return true;
    default:
      return false;
  }
}

int lastWhere(const std::string& w, bool (*test)(unsigned char)) {
  for (int i = int(w.size()); i >= 1; --i)
    if (test((unsigned char)w[i - 1])) return i;
  return 0;
}

bool isAEO(unsigned char c) { return c == 'a' || c == 'e' || c == 'o'; }
// A vowel whose following i is a glide before a final vowel (ideia,
// praia, joia, cuia), so that the stress falls on it.
bool isGlideCarrier(unsigned char c) { return isAEO(c) || c == 'u'; }
bool isGQ(unsigned char c) { return c == 'g' || c == 'q'; }

// An i after a vowel that closes its syllable with n or m, or opens one with
// nh, carries the stress of the hiatus: ainda, caindo, construindo, rainha.
bool isStressedHiatusI(const std::string& w, int pos) {
  if (pos < 2 || pos + 2 > int(w.size())) return false;
  unsigned char before = w[pos - 2], next = w[pos], after = w[pos + 1];
  if (!(isAEO(before) || before == 'u')) return false;
  if (next == 'n' && after == 'h') return true;
  return (next == 'n' || next == 'm') && !isStressVowel(after) && after != 'h';
}

// Walks the letters from the last to the first; states as in the classic
// Portuguese stress rules (final vowel, final consonant, -m, -s, diphthongs
// and the gu/qu groups). A final "-ns" is read like "-m", of which it is
// the plural (homens, jovens).
int stressByEnding(const std::string& w) {
  int state = 0, result = 0;
  for (int pos = int(w.size()); pos >= 1; --pos) {
    unsigned char c = w[pos - 1];
    bool vowel = isStressVowel(c);
    switch (state) {
      case 0:
        if (isAEO(c)) { result = pos; state = 1; }
        else if (c == 'i') { result = pos; state = 20; }
        else if (c == 'u') { result = pos; state = 10; }
        else if (c == 'm') state = 40;
        else if (c == 'n' && pos + 1 == int(w.size()) && w.back() == 's') state = 40;
        else if (c != 's') state = 30;
        break;
      case 1:
        if (c == 'u') state = 4;
        else if (c == 'i' && pos > 1 && isGlideCarrier(w[pos - 2])) return pos - 1;
        else if (vowel) return pos;
        else state = 2;
        break;
      case 2:
        if (isAEO(c)) return pos;
        if (c == 'i' && isStressedHiatusI(w, pos)) return pos;
        if (c == 'i' || c == 'u') { result = pos; state = 3; }
        break;
      case 3:
        if (isAEO(c)) return pos;
        if (c != 'u') return result;
        state = 5;
        break;
      case 4:
        if (!isGQ(c)) return pos + 1;
        result = pos + 2;
        state = 2;
        break;
      case 5:
        return isGQ(c) ? pos + 2 : pos + 1;
      case 10:
        return (isAEO(c) || c == 'i') ? pos : result;
      case 20:
      case 22:  // the nucleus of the final diphthong is found (reais)
        if (isAEO(c) && state == 20) { result = pos; state = 22; }
        else if (c == 'u') state = 21;
        else return result;
        break;
      case 21:
        return isGQ(c) ? pos + 2 : pos + 1;
      case 30:
        if (vowel) return pos;
        break;
      case 40:
        if (c == 'a' || c == 'e') { result = pos; state = 1; }
        else if (c == 'i' || c == 'o' || c == 'u') return pos;
        else state = 0;
        break;
    }
  }
  return result;
}

}  // namespace

int findStress(std::string_view word) {
  std::string w = lowerAnsi(word);
  if (int accent = lastWhere(w, isStressAccent)) return accent;
  if (int tilde = lastWhere(w, isTilde)) return tilde;
  if (!lastWhere(w, isStressVowel)) return 0;
  return stressByEnding(w);
}

}  // namespace varlo
