// What each key does in the screen review: moving the review cursor by
// character, word, field, row and screen, reading, searching, jumping to a
// row and column, saying the position, copying the screen and the
// two-letter reading commands.
#include <string>

#include "console/braille_line.h"
#include "console/console.h"
#include "speech/speech.h"
#include "widgets/screen_review_state.h"

namespace varlo {

namespace {

constexpr uint8_t kCopyKey = 3, kCtrlK = 11, kCtrlL = 12;
constexpr uint8_t kBackTab = 15;   // the extended code of Shift+Tab

void refuse() {
  beep();
  click();
  beep();
}

void readRow() { readRange(rowRange(reviewState().row)); }

void moveRight() {
  ReviewState& s = reviewState();
  if (s.column > kLineEndColumn) {
    beep();
    return;
  }
  sayChar(reviewChar(s.column, s.row));
  ++s.column;
}

void moveLeft() {
  ReviewState& s = reviewState();
  if (s.column < 2) {
    beep();
    return;
  }
  --s.column;
  sayChar(reviewChar(s.column, s.row));
}

void moveUp() {
  ReviewState& s = reviewState();
  s.column = 1;
  if (s.row <= 1) {
    beep();
    s.row = 1;
    return;
  }
  --s.row;
  readRow();
}

void moveDown() {
  ReviewState& s = reviewState();
  s.column = 1;
  if (s.row >= kRows) {
    beep();
    s.row = kRows;
    return;
  }
  ++s.row;
  click();
  readRow();
}

void goToRow(int row) {
  ReviewState& s = reviewState();
  s.row = row;
  s.column = 1;
  readRow();
}

void readWordKey() {
  ReviewState& s = reviewState();
  if (keyPending() && engineActive()) return;
  readWordAtCursor(kColumns);
  if (s.column > kColumns - 1) {
    click();
    goToLineEnd();
  }
}

void previousWord() {
  ReviewState& s = reviewState();
  int start = wordStartBefore(s.column, s.row);
  if (start <= 1) {
    beep();
    s.column = 1;
    return;
  }
  s.column = start;
  click();
}

void nextWord() {
  ReviewState& s = reviewState();
  int start = wordStartAfter(s.column, s.row);
  if (start == 0) {
    beep();
    goToLineEnd();
    return;
  }
  s.column = start;
  click();
}

void pastField() {
  ReviewState& s = reviewState();
  s.column = fieldAround(s.column, s.row).last + 2;
  click();
  if (s.column > kColumns) goToLineEnd();
}

void beforeField() {
  ReviewState& s = reviewState();
  s.column = fieldAround(s.column, s.row).first - 2;
  click();
}

void goToLetter(std::optional<ScreenCell> cell) {
  if (!cell) {
    beep();
    return;
  }
  ReviewState& s = reviewState();
  s.row = cell->row;
  s.column = cell->column;
  readRow();
}

void search(const std::string& text) {
  ReviewState& s = reviewState();
  std::optional<ScreenCell> found = findOnScreen(text, s.column, s.row);
  if (!found) {
    beep();
    beep();
    return;
  }
  s.row = found->row;
  s.column = found->column;
  click();
  readRow();   // what was found, in its line
}

void askAndSearch() {
  std::string text;
  if (!askSearchText(text)) return;
  if (!text.empty()) reviewState().lastSearch = text;
  search(text);
}

void askAndJump() {
  ReviewState& s = reviewState();
  int row = 0, column = 0;
  if (!askPosition(row, column)) return;
  s.row = row;
  s.column = column;
}

void sayPosition() {
  const ReviewState& s = reviewState();
  speak(std::to_string(s.row) + " " + std::to_string(s.column));
}

void copyScreen() {
  if (copyText(screenCopy()))
    speak("copiado");
  else
    beep();
}

// The second letter of a reading command; any other key refuses it.
void readingCommand(uint8_t first) {
  KeyPress second = readKeyPress();
  stopSpeech();
  const ReviewState& s = reviewState();
  std::optional<ReadingRange> range =
      second.extended() ? std::nullopt : commandRange(first, second.byte, s.column, s.row);
  if (range)
    readRange(*range);
  else
    refuse();
}

bool isLetterKey(uint8_t b) { return (b | 0x20) >= 'a' && (b | 0x20) <= 'z'; }

void handleExtended(uint8_t code) {
  ReviewState& s = reviewState();
  switch (code) {
    case key::Right: moveRight(); break;
    case key::Left: moveLeft(); break;
    case key::Home: s.column = 1; break;
    case key::Routing: s.column = routedColumn() + 1; break;
    case key::End: goToLineEnd(); break;
    case key::Up: moveUp(); break;
    case key::Down: moveDown(); break;
    case key::PageUp: goToRow(1); break;
    case key::PageDown: goToRow(kRows); break;
    case key::F1: readWordKey(); break;
    case key::CtrlF1: readRange(fieldRange(s.column, s.row)); break;
    case key::CtrlLeft: previousWord(); break;
    case key::CtrlRight: nextWord(); break;
    case kBackTab: beforeField(); break;
    case key::CtrlPageUp: goToLetter(firstLetter()); break;
    case key::CtrlPageDown: goToLetter(lastLetter()); break;
    case key::F5: askAndSearch(); break;
    case key::CtrlF5: search(s.lastSearch); break;
    case key::F6: askAndJump(); break;
    default: refuse(); break;
  }
}

}  // namespace

bool handleReviewKey(const KeyPress& k) {
  if (k.extended()) {
    handleExtended(k.code);
    return true;
  }
  ReviewState& s = reviewState();
  switch (k.byte) {
    case key::Esc: return false;
    case key::Backspace: moveLeft(); break;
    case key::Enter:
      ++s.row;
      s.column = 1;
      click();
      break;
    case ' ': readRow(); break;
    case key::Tab: pastField(); break;
    case kCtrlK: case kCtrlL: sayPosition(); break;
    case kCopyKey: copyScreen(); break;
    default:
      if (isLetterKey(k.byte))
        readingCommand(k.byte);
      else
        refuse();
      break;
  }
  return true;
}

}  // namespace varlo
