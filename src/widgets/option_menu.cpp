// Running an option menu: drawing, scrolling, keys, initial-letter search
// and saying the current entry.
#include "widgets/option_menu.h"

#include <algorithm>
#include <vector>

#include "console/colour_scheme.h"
#include "console/console.h"
#include "console/magnifier.h"
#include "widgets/field_editor_input.h"
#include "widgets/option_menu_screen.h"
#include "widgets/screen_review.h"
#include "speech/speech.h"

namespace varlo {

namespace {

constexpr uint8_t kCtrlQ = 17;

struct Menu {
  int left = 1, top = 1, width = 1, bottom = 1;
  int background = colour::magenta;
  int firstVisible = 1;
  std::vector<TOpcoes> entries;
  int savedColumn = 1, savedRow = 1;
  uint8_t savedAttribute = 0;
  SavedRect saved;
} menu;

std::string selected;

int count() { return static_cast<int>(menu.entries.size()); }
int rowOf(int entry) { return menu.top + entry - menu.firstVisible; }
bool isShown(int entry) { return rowOf(entry) >= menu.top && rowOf(entry) <= menu.bottom; }

// The chosen entry in inverse video: a block of the text colour.
void drawEntry(int entry, bool chosen) {
  if (entry < 1 || entry > count() || !isShown(entry)) return;
  setTextColor(chosen ? menu.background : scheme::menu.text);
  setBackgroundColor(chosen ? scheme::menu.text : menu.background);
  writeCells(menu.left, rowOf(entry), fitted(menu.entries[entry - 1].text, menu.width));
  setBackgroundColor(menu.background);
}

// The list is drawn inside the saved rectangle only, so that all of what
// it covers comes back.
void drawAll() {
  for (int e = menu.firstVisible; e <= count() && isShown(e); ++e) drawEntry(e, false);
}

void makeVisible(int entry) {
  int rows = menu.bottom - menu.top + 1;
  int first = std::clamp(menu.firstVisible, entry - rows + 1, entry);
  if (first == menu.firstVisible) return;
  menu.firstVisible = first;
  drawAll();
}

bool isSearchKey(uint8_t b) {
  return (b >= 1 && b <= 26) || b == '*' || b == '+' || b == '-' || b == '/' ||
         (b >= '0' && b <= '9') || ((b | 0x20) >= 'a' && (b | 0x20) <= 'z');
}

// The first entry after c whose text (leading spaces aside) begins with the
// key; past the end when none does.
int searchFrom(int c, uint8_t b) {
  std::string wanted = upperText(std::string(1, static_cast<char>(b)));
  for (int e = c + 1; e <= count(); ++e) {
    const std::string& text = menu.entries[e - 1].text;
    size_t first = text.find_first_not_of(' ');
    if (first != std::string::npos && upperText(text.substr(first, 1)) == wanted) return e;
  }
  return count() + 1;
}

int moved(int c, const KeyPress& k) {
  switch (k.code) {
    case key::Down: case 9: return c + 1;
    case key::Home: case key::CtrlPageUp: return 1;
    case key::Up: return c - 1;
    case key::PageUp: return c - 10;
    case key::PageDown: return c + 10;
    case key::End: case key::CtrlPageDown: return count();
    default: return c;
  }
}

void sayEntry(const TOpcoes& entry, bool spelled) {
  const std::string& k = entry.key;
  if (spelled)
    spell(entry.text);
  else if (!k.empty() && recordingExists(k))
    playRecording(k);
  else if (k.size() >= 3 && k[1] == '|' && recordingExists(k.substr(2))) {
    spell(k.substr(0, 1));
    playRecording(k.substr(2));
  } else {
    speak(entry.text);
  }
}

void closeMenu() {
  clearMagnified();
  restoreRect(menu.saved);
  setAttribute(menu.savedAttribute);
  moveCursor(menu.savedColumn, menu.savedRow);
  menu.entries.clear();
}

bool isFunctionKey(const KeyPress& k) { return k.extended() && k.code >= key::F1 && k.code <= key::F12; }

}  // namespace

void openMenu(int left, int top, int width, int colour, int rows) {
  menu.savedColumn = cursorColumn();
  menu.savedRow = cursorRow();
  menu.savedAttribute = currentAttribute();
  menu.width = std::clamp(width, 1, kColumns);
  rows = std::clamp(rows, 1, kRows);
  if (left + menu.width > kColumns) left = kColumns - menu.width;
  if (top + rows > kRows) top = kRows - rows + 1;
  menu.left = std::max(left, 1);
  menu.top = std::max(top, 1);
  menu.bottom = std::min(menu.top + rows - 1, kRows);
  menu.firstVisible = 1;
  menu.entries.clear();
  menu.background = colour;
  setBackgroundColor(colour);
  menu.saved = saveRect(menu.left, menu.top, menu.left + menu.width - 1, menu.bottom);
}

void addMenuEntry(std::string_view key, std::string_view text) {
  menu.entries.push_back({count() + 1, std::string(key), std::string(text)});
}

MenuOutcome runMenuWith(const MenuRun& how) {
  int c = how.first >= 1 && how.first <= count() ? how.first : 1;
  KeyPress k{' ', 0, false, false};
  bool finishing = false;
  drawAll();
  makeVisible(c);
  for (;;) {
    drawEntry(c, false);
    if (how.functionKeysEnd && isFunctionKey(k)) {
      finishing = true;
    } else if (k.extended()) {
      c = moved(c, k);
    } else if (k.byte == key::Enter || k.byte == key::Esc) {
      finishing = true;
    } else if (k.byte == key::Tab) {
      ++c;
    } else if (k.byte == kCtrlQ) {
      speak(std::to_string(c) + " de " + std::to_string(count()));
    } else if (isSearchKey(k.byte)) {
      c = searchFrom(c, k.byte);
    }
    if (count() == 0 || c < 1) {
      c = 1;
      beep();
    } else if (c > count()) {
      c = count();
      beep();
    }
    if (!finishing && count() > 0) {
      makeVisible(c);
      drawEntry(c, true);
      showMagnified(menu.entries[c - 1].text, 1, rowOf(c));
      sayEntry(menu.entries[c - 1], k.extended() && k.code == key::Right);
    }
    if (finishing) break;
    k = readKeyPress();
    stopSpeech();
    if (isReviewKey(k)) reviewScreen();   // then the current entry is said again
  }
  int result = 0;
  selected.clear();
  if (k.byte != key::Esc && c >= 1 && c <= count()) {
    drawEntry(c, true);
    setTextColor(scheme::menu.text);
    result = c;
    selected = menu.entries[c - 1].text;
  }
  closeMenu();
  return {result, k.byte, k.code};
}

int runMenu() { return runMenuWith({}).entry; }

const std::string& selectedMenuText() { return selected; }

}  // namespace varlo
