// First stage of the Olira voice: the text is rewritten so that it holds only
// words, blanks and the punctuation the prosody stage understands. Numbers
// become words, symbols their names, words of consonants only are spelled
// and known abbreviations followed by a dot are expanded.
#pragma once

#include <string>
#include <string_view>

namespace varlo {

std::string preprocess(std::string_view text);

// The spoken name of a Windows-1252 character, "" when it has none.
std::string charName(unsigned char code);

// Loads "ABREVIATURA=expansão" lines; ";" starts a comment line. Replaces
// the previous table. False when the file cannot be opened.
bool loadAbbreviations(const std::string& path);
// The expansion of a word (compared in upper case), "" when unknown.
std::string findAbbreviation(std::string_view word);

}  // namespace varlo
