// The suite synthesizer's translator: Portuguese text becomes a unit string,
// one bracketed group per word, whose units name recorded segments
// ("casa" -> "[k/A /z/a ]"). Letters without a rule, and words of
// consonants only, become letter-file units ("[ /_c]").
//
// Rule file lines read   left(match)right=output   | comment
// (";" starts a comment line). The output runs to "|" or the end of the
// line; its leading blanks are dropped and its trailing ones kept only
// before a "|", since a blank in an output ends a unit.
#pragma once

#include <string>
#include <string_view>

namespace varlo {

bool loadTranslatorRules(const std::string& path);
bool loadTranslatorExceptions(const std::string& path);
void releaseTranslatorRules();

std::string translateText(std::string_view text);

// The word after the exception dictionary: "taxis" -> "taksis" when "taxi"
// has an entry (final s and m are tried off and put back).
std::string respellUnitWord(const std::string& word);

}  // namespace varlo
