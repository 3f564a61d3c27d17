// Letter-to-sound stage of the Olira voice: coded tokens ("555|casa") become
// a header line and phoneme lines. A word is respelled by the exception
// dictionary, its stressed vowel is found, and context rules rewrite its
// letters into phoneme names. Rule file lines read
//   left(match)right=output  | comment
// with the context symbols # % ] _ | on the left, # % & * + [ \ on the
// right, and ' on the left for "the match starts on the stressed letter".
// "&" in an output separates phonemes; only its first 11 characters count.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlo {

// Loads the rules and the exception dictionary, replacing the previous ones.
// False when a file cannot be opened or a rule line is malformed;
// ruleLoadError() then says which (Windows-1252 text).
bool loadRules(const std::string& rulesFile, const std::string& exceptionsFile);
const std::string& ruleLoadError();
void releaseRules();

// Phoneme lines of the coded token lines, ending with "__" after the linking
// of final "r2"/"s2" to a following vowel.
std::vector<std::string> convertTokens(const std::vector<std::string>& codedLines);

// The respelling of an upper-case word by the exception dictionary, final S
// and M letters being tried off and put back ("TAXIS" -> "TAKSIS").
std::string respell(std::string_view word);

}  // namespace varlo
