// The screen as the review cursor sees it: cells, character classes, words,
// fields, line ends, letters, searches and the ranges of the reading
// commands, free of speech so that each rule can be tried alone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "console/console.h"

namespace varlo {

// The column just after the last one, where the review cursor rests at a
// line end.
constexpr int kLineEndColumn = kColumns + 1;

// Cells outside the grid read as a space with attribute 0.
uint8_t reviewChar(int column, int row);
uint8_t reviewAttribute(int column, int row);

// A-Z, a-z and 0-9 only: accented letters end a word.
bool isReviewWordChar(uint8_t c);
bool isConsonant(uint8_t c);
// "!", ":", "?", "|" and the box-drawing bytes 176-223.
bool isFieldSeparator(uint8_t c);

struct ColumnSpan {
  int first = 1, last = 1;   // inclusive
};
// The cells of the row around the column with its attribute and no field
// separator; a separator under the column is a field of its own.
ColumnSpan fieldAround(int column, int row);
// The column after the last non-space character; 1 on an empty row.
int lineEnd(int row);
std::string rowText(int row, int first, int last);

struct ReviewWord {
  std::string text;   // empty when only spaces were left
  int next = 1;       // the column after what was read
};
// The word at the column, spaces before it skipped, read no further than
// column last: a character and the word characters after it, or a run of
// one repeated character cut to three copies.
ReviewWord reviewWordAt(int column, int row, int last);
// More than one character, all consonants: spelled rather than spoken.
bool isSpelled(std::string_view text);

// Start of the word (spaces separate words) before the column; 0 when none.
int wordStartBefore(int column, int row);
// Start of the word after the one at the column; 0 when none.
int wordStartAfter(int column, int row);

struct ScreenCell {
  int column = 1, row = 1;
};
std::optional<ScreenCell> firstLetter();
std::optional<ScreenCell> lastLetter();
// The text (case counts) from row `row` down, skipping that row's columns up
// to and including `column`.
std::optional<ScreenCell> findOnScreen(std::string_view text, int column, int row);
// The 25 rows of 80 characters, each followed by CR LF.
std::string screenCopy();

struct ReadingRange {
  int firstRow = 1, firstColumn = 1, lastRow = 1, lastColumn = 1;
  bool restore = true;   // put the review cursor back afterwards
};
// The range of a two-letter command (I, T or L, F, then T, L or C, any
// case) from the review cursor; none for another combination.
std::optional<ReadingRange> commandRange(uint8_t first, uint8_t second, int column, int row);
// The field at the cursor (Ctrl+F1) and a whole row.
ReadingRange fieldRange(int column, int row);
ReadingRange rowRange(int row);

}  // namespace varlo
