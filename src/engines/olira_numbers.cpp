// Olira's reading of numbers in text: cardinals, ordinals with gender and
// digit-by-digit runs.
#include "engines/olira_numbers.h"

#include <initializer_list>
#include <vector>

#include "base/codepage.h"
#include "base/number_words.h"
#include "engines/olira_text.h"

namespace varlo {

namespace {

using Words = std::vector<std::string>;

Words table(std::initializer_list<const char*> utf8) {
  Words words;
  for (const char* w : utf8) words.push_back(utf8ToCp1252(w));
  return words;
}

const Words& ordinalUnits() {  // index 1 ... 9
  static const Words t = table({"", "primeiro", "segundo", "terceiro", "quarto",
                                "quinto", "sexto", "sétimo", "oitavo", "nono"});
  return t;
}
const Words& ordinalTens() {
  static const Words t = table({"", "décimo", "vigésimo", "trigésimo", "quadragésimo",
                                "quinquagésimo", "sexagésimo", "septuagésimo",
                                "octagésimo", "nonagésimo"});
  return t;
}
const Words& ordinalHundreds() {
  static const Words t = table({"", "centésimo", "ducentésimo", "tricentésimo",
                                "quadrigentésimo", "quingentésimo", "seiscentésimo",
                                "septigentésimo", "octigentésimo", "nongentésimo"});
  return t;
}
const std::string& thousandthWord() {
  static const std::string w = utf8ToCp1252("milésimo");
  return w;
}

// From this many digits on a number is read digit by digit.
constexpr int kDigitByDigitLength = 16;

// Digits (and "-") spoken one by one, separated by blanks.
std::string spellDigits(std::string_view run) {
  std::string out;
  for (char c : run) {
    if (!out.empty()) out += ' ';
    out += isAsciiDigit(c) ? digitWord(c) : utf8ToCp1252("traço");
  }
  return out;
}

// A "." followed by exactly three digits separates thousands.
bool isThousandsDot(std::string_view text, size_t i) {
  if (text[i] != '.' || i + 3 >= text.size()) return false;
  for (size_t k = i + 1; k <= i + 3; ++k)
    if (!isAsciiDigit(text[k])) return false;
  return i + 4 >= text.size() || !isAsciiDigit(text[i + 4]);
}

// Length of the number at pos: digits, with "." kept only as a thousands
// separator (a dot followed by exactly three digits); counts its digits.
size_t numberExtent(std::string_view text, size_t pos, int& digits) {
  size_t i = pos;
  digits = 0;
  while (i < text.size()) {
    if (isAsciiDigit(text[i])) {
      ++digits;
      ++i;
    } else if (isThousandsDot(text, i)) {
      i += 1;
    } else {
      break;
    }
  }
  return i;
}

// The ordinal marker at pos, if any: its length, gender and plural.
size_t ordinalMarker(std::string_view text, size_t pos, Gender& gender, bool& plural) {
  auto at = [&](size_t i) { return i < text.size() ? (unsigned char)text[i] : 0; };
  plural = false;
  gender = Gender::masculine;
  if (at(pos) == 0xBA) return 1;
  if (at(pos) == 0xAA) { gender = Gender::feminine; return 1; }
  if (at(pos) != 'o' && at(pos) != 'a') return 0;
  if (at(pos) == 'a') gender = Gender::feminine;
  if (at(pos + 1) == '.') return 2;
  if (at(pos + 1) == 's' && at(pos + 2) == '.') { plural = true; return 3; }
  return 0;
}

// "primeira" + plural gives "primeiras"; every word of the ordinal agrees.
std::string pluralOf(const std::string& words) {
  std::string out;
  for (size_t i = 0; i < words.size(); ++i) {
    out += words[i];
    bool wordEnds = i + 1 == words.size() || words[i + 1] == ' ';
    if (wordEnds && words[i] != ' ') out += 's';
  }
  return out;
}

}  // namespace

std::string digitWord(char digit) { return cardinal(uint64_t(digit - '0')); }

// Written words for the Olira voice, which reads "mil e duzentos e trinta".
std::string cardinal(uint64_t value) {
  return cardinalWords(value, {.accents = true, .eBeforeEveryLastGroup = true});
}

std::string ordinal(uint64_t value, Gender gender) {
  if (value >= 2000) return cardinal(value);
  if (value == 0) return cardinal(0);
  std::string out;
  auto add = [&](const std::string& word) {
    if (word.empty()) return;
    std::string w = word;
    if (gender == Gender::feminine) w.back() = 'a';
    if (!out.empty()) out += ' ';
    out += w;
  };
  if (value >= 1000) add(thousandthWord());
  add(ordinalHundreds()[value / 100 % 10]);
  add(ordinalTens()[value / 10 % 10]);
  add(ordinalUnits()[value % 10]);
  return out;
}

std::string readNumber(std::string_view text, size_t& pos) {
  size_t run = pos;
  bool dashed = false;
  while (run < text.size() && (isAsciiDigit(text[run]) || text[run] == '-')) {
    dashed = dashed || text[run] == '-';
    ++run;
  }
  if (dashed) {
    std::string out = spellDigits(text.substr(pos, run - pos));
    pos = run;
    return out;
  }
  int digits = 0;
  size_t end = numberExtent(text, pos, digits);
  if (digits >= kDigitByDigitLength) {
    std::string number;
    for (size_t i = pos; i < end; ++i)
      if (isAsciiDigit(text[i])) number += text[i];
    pos = end;
    return spellDigits(number);
  }
  std::string zeros;
  while (pos + 1 < text.size() && text[pos] == '0' && isAsciiDigit(text[pos + 1])) {
    zeros += digitWord('0') + " ";
    ++pos;
  }
  uint64_t value = 0;
  for (; pos < end; ++pos)
    if (isAsciiDigit(text[pos])) value = value * 10 + uint64_t(text[pos] - '0');
  Gender gender;
  bool plural;
  if (size_t marker = ordinalMarker(text, pos, gender, plural)) {
    pos += marker;
    std::string words = ordinal(value, gender);
    return plural ? pluralOf(words) : words;
  }
  return zeros + cardinal(value);
}

}  // namespace varlo
