// The field editor's cycle: set-up, drawing, reading keys, and the end of
// the edit; the line and number readers built on it.
#include "widgets/field_editor.h"

#include <algorithm>
#include <climits>

#include "console/colour_scheme.h"
#include "console/braille_line.h"
#include "console/console.h"
#include "console/magnifier.h"
#include "widgets/field_editor_input.h"
#include "widgets/field_editor_state.h"
#include "widgets/option_menu_screen.h"
#include "widgets/screen_review.h"
#include "speech/speech.h"
#include "sound/wave_player.h"

namespace varlo {

namespace {

constexpr int kLineLength = 255;
constexpr int kSelectionBackground = scheme::selection.background;

int lastPosition = 1;

int windowColumns() {
  TextWindow w = textWindow();
  return w.right - w.left + 1;
}
int windowRows() {
  TextWindow w = textWindow();
  return w.bottom - w.top + 1;
}

// AltGr+Q/W/E arrive as the Alt codes 16, 17, 18 followed by the character.
bool isAltGrPrefix(const KeyPress& k) {
  return k.extended() && k.code >= 16 && k.code <= 18;
}

void finishEdit(const EditState& e) {
  lastPosition = e.position;
  writeCells(e.x, e.y, e.value.substr(0, e.width));
  moveCursor(e.x, e.y);
}

// Text read by readLineSpoken and readNumberSpoken; the key that ended it.
uint8_t readLineAtCursor(std::string& value) {
  value.clear();
  int x = cursorColumn(), y = cursorRow();
  uint8_t k = editFieldHere(value, x, y, true, kLineLength);
  if (k == key::Esc) {
    holdMirror();
    writeCells(x, y, std::string(std::max(windowColumns() - 1 - x, 0), ' '));
    releaseMirror();
    value.clear();
  }
  writeText("\r\n");
  return k;
}

}  // namespace

void drawField(const EditState& e) {
  uint8_t attribute = currentAttribute();
  size_t first = std::min<size_t>(e.offset - 1, e.value.size());
  std::string visible = fitted(std::string_view(e.value).substr(first), e.width);
  int from = hasSelection(e) ? selectionFrom(e) - e.offset : e.width;
  int to = hasSelection(e) ? selectionTo(e) - e.offset : e.width;
  from = std::clamp(from, 0, e.width);
  to = std::clamp(to, from, e.width);
  writeCells(e.x, e.y, visible.substr(0, from));
  setBackgroundColor(kSelectionBackground);
  writeCells(e.x + from, e.y, visible.substr(from, to - from));
  setAttribute(attribute);
  writeCells(e.x + to, e.y, visible.substr(to));
  if (e.width < kColumns) clearToLineEnd();
  moveCursor(e.x + e.position - e.offset, e.y);
}

uint8_t editField(std::string& value, int x, int y, bool editable, int width, int maxLength) {
  EditState e = startEdit(value, x, y, editable, width, maxLength, windowColumns(), windowRows());
  holdMirror();
  bool routing = acceptRouting(true);
  // Sounds start and the editor goes on at once.
  WaveSwitchGuard echo({&WaveSettings::noWait}, true);
  uint8_t result = 0;
  for (;;) {
    keepCursorVisible(e);
    drawField(e);
    // The band highlights the character under the cursor of the whole value.
    showMagnified(e.value, e.position + 1, e.y);
    KeyPress k = readKeyPress();
    stopSpeech();
    if (isAltGrPrefix(k)) k = {readKey(), 0, k.shift, false};
    if (isReviewKey(k)) {   // the value, cursor and selection wait as they are
      reviewScreen();
      continue;
    }
    bool ends = k.extended() ? handleExtendedKey(e, k) : handleCharacterKey(e, k);
    if (ends) {
      result = k.extended() ? k.code : k.byte;
      break;
    }
    e.firstKey = false;
    if (k.shift) e.selEnd = e.position;
  }
  acceptRouting(routing);
  finishEdit(e);
  clearMagnified();
  releaseMirror();
  value = trimmedRight(e.value);
  if (result != key::Esc) mirrorText(value);
  waveSettings().noWait = false;
  stopSpeech();
  return result;
}

uint8_t editFieldHere(std::string& value, int x, int y, bool editable, int maxLength) {
  return editField(value, x, y, editable, windowColumns() - 1 - x, maxLength);
}

void readLineSpoken(std::string& value) { readLineAtCursor(value); }

void readNumberSpoken(int& number) {
  std::string text;
  if (readLineAtCursor(text) == key::Esc) return;   // Esc leaves the number as it was
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return;
  leadingInteger(std::string_view(text).substr(first), number);
}

int lastEditPosition() { return lastPosition; }

bool leadingInteger(std::string_view text, int& number) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  size_t digits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits)
    value = std::min(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
  if (digits == 0) return false;
  value = negative ? -value : std::min(value, static_cast<long long>(INT_MAX));
  number = static_cast<int>(value);
  return true;
}


}  // namespace varlo
