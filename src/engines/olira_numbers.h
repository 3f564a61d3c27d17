// Numbers read as Portuguese words (Windows-1252): cardinals up to the
// trillions, ordinals with gender, digit-by-digit reading of dashed numbers
// such as telephone numbers and of numbers too long to say as a whole.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varlo {

enum class Gender { masculine, feminine };

// Words for 0 ... 999 999 999 999 999 ("zero" for 0). Groups with a name
// keep the blank after it ("dois mil ").
std::string cardinal(uint64_t value);
// Ordinal words below 2000 ("vigésimo primeiro"); 2000 and above read as
// cardinals.
std::string ordinal(uint64_t value, Gender gender);
// Reads the number starting at the digit text[pos] with its ordinal marker
// ("º", "ª", "o.", "a.", "os.", "as."), returning its words and moving pos
// past everything read.
std::string readNumber(std::string_view text, size_t& pos);
// The word of one digit character ("zero" ... "nove").
std::string digitWord(char digit);

}  // namespace varlo
