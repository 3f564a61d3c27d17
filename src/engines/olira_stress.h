// Where the stress of a Portuguese word falls, from its spelling alone.
#pragma once

#include <string_view>

namespace varlo {

// The 1-based position of the stressed vowel of a Windows-1252 word, 0 when
// the word has no vowel. A written accent decides; otherwise the ending does
// (paroxytone by default, oxytone after r, l, z, i, u, im, um ...).
int findStress(std::string_view word);

}  // namespace varlo
