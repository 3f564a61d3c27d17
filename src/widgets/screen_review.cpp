// The review's cycle: entering with a beep where the text cursor stands,
// one key at a time with the review cursor kept on the screen, and leaving
// with two beeps and the text cursor put back.
#include "widgets/screen_review.h"

#include <algorithm>

#include "console/braille_line.h"
#include "console/console.h"
#include "speech/speech.h"
#include "widgets/screen_review_state.h"

namespace varlo {

namespace {

ReviewState review;

// Keep one value in bounds; a correction beeps and drops the keys typed ahead.
void clampWithBeep(int& value, int low, int high, int lowTo, int highTo) {
  if (value < low)
    value = lowTo;
  else if (value > high)
    value = highTo;
  else
    return;
  beep();
}

void clampReviewCursor() {
  clampWithBeep(review.column, 1, kLineEndColumn, 1, kColumns);
  clampWithBeep(review.row, 1, kRows, 1, kRows);
}

bool isWholeScreen(const TextWindow& w) {
  return w.left == 0 && w.top == 0 && w.right == kColumns - 1 && w.bottom == kRows - 1;
}

}  // namespace

ReviewState& reviewState() { return review; }

// Alt+Ctrl+F9 is taken by Linux (virtual consoles) and by desktops; Ctrl+
// Shift+F9 reaches the program everywhere.
bool isReviewKey(const KeyPress& k) {
  return k.extended() && k.code == key::CtrlF9 && (k.alt || k.shift);
}

void reviewScreen() {
  // The review walks the whole screen; a narrower text window is widened
  // for its time and given back afterwards.
  TextWindow window = textWindow();
  review.savedColumn = cursorColumn();
  review.savedRow = cursorRow();
  review.column = std::clamp(window.left + review.savedColumn, 1, kColumns);
  review.row = std::clamp(window.top + review.savedRow, 1, kRows);
  bool widened = !isWholeScreen(window);
  if (widened) setWindow(1, 1, kColumns, kRows);
  beep();
  bool routing = acceptRouting(true);
  for (bool reviewing = true; reviewing;) {
    moveCursor(std::min(review.column, kColumns), review.row);
    magnifyRow(review.row, review.column);
    KeyPress k = readKeyPress();
    stopSpeech();
    reviewing = handleReviewKey(k);
    if (reviewing) clampReviewCursor();
  }
  acceptRouting(routing);
  beep();
  beep();
  clearMagnifier();
  if (widened) setWindow(window.left + 1, window.top + 1, window.right + 1, window.bottom + 1);
  moveCursor(review.savedColumn, review.savedRow);
}

}  // namespace varlo
