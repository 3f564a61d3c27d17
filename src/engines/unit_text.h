// Text preparation of the suite synthesizer's translator: accented letters
// become a plain vowel and a mark character, stray bytes become blanks, and
// the text is cut into words (runs of letters and marks, or one other
// character each). Text is Windows-1252; words are held in lower case.
#pragma once

#include <string>
#include <string_view>

namespace varlo {

// The folded form of one byte of code 128 or above ("" when it has none):
// "á" -> "a'", "ç" -> "ss", "ñ" -> "nh".
std::string_view foldAccent(unsigned char c);

// w/y next to a letter read as u/i, the apostrophe of "d'" dropped,
// control bytes and unfoldable bytes made two blanks, accents folded.
std::string normalizeUnitText(std::string_view text);

bool isUnitVowel(unsigned char c);       // a e i o u, either case
bool isUnitConsonant(unsigned char c);   // the other ASCII letters
bool isUnitLetter(unsigned char c);
bool isUnitMark(unsigned char c);        // ' ` ^ ~ "

struct UnitWord {
  std::string text;     // lower case, marks kept
  int vowels = 0;
  bool accented = false;   // holds a mark other than the trema
};

// Takes the next word from the text at pos (blanks skipped). False when
// only blanks are left.
bool nextUnitWord(std::string_view text, size_t& pos, UnitWord& word);

// Counts the vowels and the accent marks of a word again (after respelling).
void measureUnitWord(UnitWord& word);

}  // namespace varlo
