// Cardinal numbers as Brazilian Portuguese words, in groups of three digits
// named trilhão, bilhão, milhão and mil.
#include "base/number_words.h"

namespace varlo {

namespace {

// Windows-1252: \xEA is "e" with circumflex, \xFC "u" with diaeresis, \xE3 "a"
// and \xF5 "o" with tilde.
const char* const kUnits[] = {"zero", "um", "dois", "tr\xEAs", "quatro",
                              "cinco", "seis", "sete", "oito", "nove"};
const char* const kTeens[] = {"dez", "onze", "doze", "treze", "quatorze",
                              "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
const char* const kTens[] = {"", "", "vinte", "trinta", "quarenta",
                             "cinq\xFC" "enta", "sessenta", "setenta", "oitenta", "noventa"};
const char* const kHundreds[] = {"", "cento", "duzentos", "trezentos", "quatrocentos",
                                 "quinhentos", "seiscentos", "setecentos", "oitocentos",
                                 "novecentos"};
const char* const kGroupOne[] = {"trilh\xE3o ", "bilh\xE3o ", "milh\xE3o ", "mil ", ""};
const char* const kGroupMany[] = {"trilh\xF5" "es ", "bilh\xF5" "es ", "milh\xF5" "es ",
                                  "mil ", ""};

constexpr uint64_t kLargest = 999'999'999'999'999ULL;

// One group of three digits (0 ... 999) without its name.
std::string groupWords(int group) {
  int h = group / 100, d = group / 10 % 10, u = group % 10;
  if (group == 0) return "";
  if (group == 100) return "cem";
  std::string out;
  if (h != 0) {
    out += kHundreds[h];
    if (d != 0 || u != 0) out += " e ";
  }
  if (d == 1) return out + kTeens[u];
  if (d >= 2) {
    out += kTens[d];
    if (u != 0) out += " e ";
  }
  if (u != 0) out += kUnits[u];
  return out;
}

}  // namespace

std::string cardinalWords(uint64_t value, NumberSpelling spelling) {
  if (value == 0 || value > kLargest) return kUnits[0];
  int groups[5];
  for (int g = 4; g >= 0; --g) {
    groups[g] = int(value % 1000);
    value /= 1000;
  }
  int last = 4;
  while (groups[last] == 0) --last;
  bool joinLast = spelling.eBeforeEveryLastGroup || groups[last] < 100 ||
                  groups[last] % 100 == 0;
  std::string out;
  for (int g = 0; g < 5; ++g) {
    if (groups[g] == 0) continue;
    if (g == last && !out.empty() && joinLast) out += "e ";
    out += groupWords(groups[g]);
    const char* name = groups[g] == 1 ? kGroupOne[g] : kGroupMany[g];
    if (*name) out += std::string(" ") + name;
  }
  // A thousand alone is "mil", not "um mil"; "um milhão" keeps its "um".
  if (out.starts_with("um mil") && !out.starts_with("um milh")) out.erase(0, 3);
  if (!spelling.accents) {
    for (char& c : out) {
      if (c == '\xEA') c = 'e';
      if (c == '\xFC') c = 'u';
    }
  }
  return out;
}

}  // namespace varlo
