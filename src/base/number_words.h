// Cardinal numbers as Brazilian Portuguese words (Windows-1252), shared by the
// Olira voice's text reading and the recorded voice, which spell a few things
// differently.
#pragma once

#include <cstdint>
#include <string>

namespace varlo {

// How the words of a number are spelled.
struct NumberSpelling {
  // "três" and "cinqüenta" as written, or "tres" and "cinquenta" as the
  // recorded voice names those word recordings. "milhão" keeps its tilde
  // either way.
  bool accents;
  // "e" before the last group whenever groups come before it ("mil e duzentos
  // e trinta e quatro"), or only when that group is below a hundred or a whole
  // hundred ("mil duzentos e trinta e quatro", "dois mil e quinhentos").
  bool eBeforeEveryLastGroup;
};

// Words for 0 ... 999 999 999 999 999; "zero" for 0 and for anything larger.
// Groups with a name keep the blank after it ("dois mil ").
std::string cardinalWords(uint64_t value, NumberSpelling spelling);

}  // namespace varlo
