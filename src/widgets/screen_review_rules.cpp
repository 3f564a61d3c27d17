// The review's reading rules over the screen grid.
#include "widgets/screen_review_rules.h"

#include <algorithm>
#include <cstring>

namespace varlo {

namespace {

bool inside(int column, int row) {
  return column >= 1 && column <= kColumns && row >= 1 && row <= kRows;
}

bool isLetter(uint8_t c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

bool belongsToField(int column, int row, uint8_t attribute) {
  return reviewAttribute(column, row) == attribute && !isFieldSeparator(reviewChar(column, row));
}

}  // namespace

uint8_t reviewChar(int column, int row) { return inside(column, row) ? screenChar(column, row) : ' '; }

uint8_t reviewAttribute(int column, int row) {
  return inside(column, row) ? screenAttribute(column, row) : 0;
}

bool isReviewWordChar(uint8_t c) { return isLetter(c) || (c >= '0' && c <= '9'); }

bool isConsonant(uint8_t c) {
  return isLetter(c) && !std::strchr("aeiou", c | 0x20);
}

bool isFieldSeparator(uint8_t c) {
  return c == '!' || c == ':' || c == '?' || c == '|' || (c >= 176 && c <= 223);
}

ColumnSpan fieldAround(int column, int row) {
  ColumnSpan span{column, column};
  if (isFieldSeparator(reviewChar(column, row))) return span;
  uint8_t attribute = reviewAttribute(column, row);
  while (span.first > 1 && belongsToField(span.first - 1, row, attribute)) --span.first;
  while (span.last < kColumns && belongsToField(span.last + 1, row, attribute)) ++span.last;
  return span;
}

int lineEnd(int row) {
  int column = kColumns;
  while (column >= 1 && reviewChar(column, row) == ' ') --column;
  return column + 1;
}

std::string rowText(int row, int first, int last) {
  std::string text;
  for (int column = first; column <= last; ++column)
    text += static_cast<char>(reviewChar(column, row));
  return text;
}

ReviewWord reviewWordAt(int column, int row, int last) {
  ReviewWord word;
  while (column <= last && reviewChar(column, row) == ' ') ++column;
  if (column > last) {
    word.next = column;
    return word;
  }
  uint8_t first = reviewChar(column, row);
  word.text += static_cast<char>(first);
  ++column;
  if (isReviewWordChar(first)) {
    for (uint8_t c; column <= last && isReviewWordChar(c = reviewChar(column, row)); ++column)
      word.text += static_cast<char>(c);
  } else {
    // A rule of dashes or stars is heard as three of them.
    for (; column <= last && reviewChar(column, row) == first; ++column)
      if (word.text.size() < 3) word.text += static_cast<char>(first);
  }
  word.next = column;
  return word;
}

bool isSpelled(std::string_view text) {
  if (text.size() < 2) return false;
  for (char c : text)
    if (!isConsonant(static_cast<uint8_t>(c))) return false;
  return true;
}

int wordStartBefore(int column, int row) {
  int c = std::min(column, kLineEndColumn) - 1;
  while (c >= 1 && reviewChar(c, row) == ' ') --c;
  if (c < 1) return 0;
  while (c > 1 && reviewChar(c - 1, row) != ' ') --c;
  return c;
}

int wordStartAfter(int column, int row) {
  int c = std::max(column, 1);
  while (c <= kColumns && reviewChar(c, row) != ' ') ++c;
  while (c <= kColumns && reviewChar(c, row) == ' ') ++c;
  return c <= kColumns ? c : 0;
}

std::optional<ScreenCell> firstLetter() {
  for (int row = 1; row <= kRows; ++row)
    for (int column = 1; column <= kColumns; ++column)
      if (isLetter(reviewChar(column, row))) return ScreenCell{column, row};
  return std::nullopt;
}

std::optional<ScreenCell> lastLetter() {
  for (int row = kRows; row >= 1; --row)
    for (int column = kColumns; column >= 1; --column)
      if (isLetter(reviewChar(column, row))) return ScreenCell{column, row};
  return std::nullopt;
}

std::optional<ScreenCell> findOnScreen(std::string_view text, int column, int row) {
  if (text.empty()) return std::nullopt;
  for (int r = std::max(row, 1); r <= kRows; ++r) {
    int skipped = r == row ? std::clamp(column, 0, kColumns) : 0;
    size_t at = rowText(r, 1, kColumns).find(text, skipped);
    if (at != std::string::npos) return ScreenCell{static_cast<int>(at) + 1, r};
  }
  return std::nullopt;
}

std::string screenCopy() {
  std::string text;
  for (int row = 1; row <= kRows; ++row) text += rowText(row, 1, kColumns) + "\r\n";
  return text;
}

ReadingRange fieldRange(int column, int row) {
  ColumnSpan field = fieldAround(column, row);
  return {row, field.first, row, field.last, true};
}

ReadingRange rowRange(int row) { return {row, 1, row, kColumns, true}; }

std::optional<ReadingRange> commandRange(uint8_t first, uint8_t second, int column, int row) {
  char from = static_cast<char>(first & ~0x20), unit = static_cast<char>(second & ~0x20);
  if (from == 'L') from = 'T';
  if (!std::strchr("ITF", from) || !std::strchr("TLC", unit) || !isLetter(first) ||
      !isLetter(second))
    return std::nullopt;
  ColumnSpan field = fieldAround(column, row);
  switch (unit) {
    case 'T':
      if (from == 'I') return ReadingRange{1, 1, row, column - 1, false};
      if (from == 'T') return ReadingRange{1, 1, kRows, kColumns, false};
      return ReadingRange{row, column, kRows, kColumns, false};
    case 'L':
      if (from == 'I') return ReadingRange{row, 1, row, column - 1, true};
      if (from == 'T') return rowRange(row);
      return ReadingRange{row, column, row, kColumns, true};
    default:
      if (from == 'I') return ReadingRange{row, field.first, row, column, true};
      if (from == 'T') return fieldRange(column, row);
      return ReadingRange{row, column, row, field.last, true};
  }
}

}  // namespace varlo
