// Stress of the suite synthesizer's words: the stressed vowel of a word
// without a written accent is found from its ending and written in upper
// case (casa -> cAsa, aqui -> aquI).
#pragma once

#include "engines/unit_text.h"

namespace varlo {

// Upper-cases the stressed vowel. Words with an accent mark, without a
// vowel, or with one vowel and not ending in "l" are left alone.
void markUnitStress(UnitWord& word);

}  // namespace varlo
