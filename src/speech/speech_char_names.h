// Portuguese names of the characters that are not letters or digits, shared
// by the talking layer and the tool that records the suite voice's letters.
#pragma once

#include <cstdint>

namespace varlo {

// The name, in UTF-8, of an ASCII blank, punctuation mark or symbol, of the
// form feed, or of code 0 (a function key); null for any other character.
const char* symbolName(uint8_t c);

}  // namespace varlo
