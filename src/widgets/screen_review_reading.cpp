// Reading from the review cursor: words spelled or spoken, ranges row by row
// (whole rows to an engine, word by word with the recorded voice), and the
// line end. A pending key ends a reading.
#include <algorithm>

#include "speech/speech.h"
#include "widgets/field_editor_state.h"
#include "widgets/screen_review_state.h"

namespace varlo {

namespace {

// The rest of the row up to lastColumn; false when a key ended the reading.
bool readRowPart(int lastColumn) {
  ReviewState& s = reviewState();
  magnifyRow(s.row, s.column);
  if (engineActive()) {
    std::string text = trimmedRight(rowText(s.row, s.column, lastColumn));
    if (!text.empty()) speak(text);
    s.column = std::max(s.column, lastColumn + 1);
  } else {
    while (s.column <= lastColumn && !keyPending()) readWordAtCursor(lastColumn);
  }
  return !keyPending();
}

}  // namespace

void readWordAtCursor(int lastColumn) {
  ReviewState& s = reviewState();
  ReviewWord word = reviewWordAt(s.column, s.row, lastColumn);
  s.column = word.next;
  moveCursor(std::min(s.column, kColumns), s.row);
  if (word.text.empty()) return;
  if (isSpelled(word.text))
    spell(word.text);
  else
    speak(word.text);
}

void readRange(const ReadingRange& range) {
  ReviewState& s = reviewState();
  if (range.firstRow == range.lastRow && range.lastColumn < range.firstColumn) {
    beep();
    return;
  }
  int row = s.row, column = s.column;
  for (int r = range.firstRow; r <= range.lastRow; ++r) {
    if (r > range.firstRow) click();
    s.row = r;
    s.column = r == range.firstRow ? range.firstColumn : 1;
    if (!readRowPart(r == range.lastRow ? range.lastColumn : kColumns)) break;
  }
  waitWhileBusy();
  if (range.lastColumn >= kColumns) goToLineEnd();
  if (range.restore) {
    s.row = row;
    s.column = column;
  }
}

void goToLineEnd() {
  ReviewState& s = reviewState();
  s.column = lineEnd(s.row);
  if (s.column == 1) click();   // an empty row
}

}  // namespace varlo
