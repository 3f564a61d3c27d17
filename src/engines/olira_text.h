// Character classes and letter case of the Olira voice. Text is
// Windows-1252; upper and lower case follow the Windows ANSI rules, so the
// Portuguese accented letters fold too.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/plain_text.h"

namespace varlo {

// A–Z, a–z and À Á Â Ã Ç É Ê Ì Í Ñ Ó Ô Õ Ù Ú Ü in both cases.
bool isOliraLetter(unsigned char c);
// B C D F G H J K L M N P Q R S T V W X Y Z Ç Ñ in both cases.
bool isOliraConsonant(unsigned char c);
// A E I O U and À Á Â Ã É Ê Ì Í Ó Ô Õ Ù Ú Ü in both cases.
bool isOliraVowel(unsigned char c);
bool isAsciiDigit(unsigned char c);

unsigned char upperAnsi(unsigned char c);
unsigned char lowerAnsi(unsigned char c);
std::string upperAnsi(std::string_view text);
std::string lowerAnsi(std::string_view text);

// Reads a whole data file as Windows-1252 text (UTF-8 files are converted).
// False when the file cannot be opened.
bool readDataFile(const std::string& path, std::string& text);

}  // namespace varlo
