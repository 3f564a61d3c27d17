// Running a marking list: drawing the visible rows, saying the current
// entry, marking and moving.
#include "widgets/marking_list.h"

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

struct MarkingList {
  int left = 1, top = 1, right = kColumns, bottom = kRows;
  std::vector<std::string> shown, spoken;
  std::vector<uint8_t> marks;
  int current = -1;      // 0-based; -1 before the first entry
  int firstVisible = 0;
  int highlightFrom = 0, highlightTo = 0, highlightColour = 15;
  int colour = 7;        // the list's own text colour
  int background = 0;    // and background
  ListRefresh refresh;
} list;

int count() { return static_cast<int>(list.shown.size()); }
int rows() { return list.bottom - list.top + 1; }
int width() { return list.right - list.left + 1; }
bool inside(int i) { return i >= 0 && i < count(); }

void setMarks(int from, int to, uint8_t mark) {
  for (int i = std::max(from, 0); i <= std::min(to, count() - 1); ++i) list.marks[i] = mark;
}

void keepCurrentVisible() {
  list.current = std::max(list.current, -1);
  if (list.current < list.firstVisible) list.firstVisible = list.current;
  if (list.current >= list.firstVisible + rows()) list.firstVisible = list.current - rows() + 1;
  list.firstVisible = std::max(list.firstVisible, 0);
}

void drawRow(int i) {
  int row = list.top + i - list.firstVisible;
  if (!inside(i)) {
    setTextColor(list.colour);
    writeCells(list.left, row, std::string(width(), ' '));
    return;
  }
  if (list.refresh) list.refresh(i + 1, list.shown[i], list.spoken[i], list.marks[i]);
  int colour = list.marks[i] ? scheme::listMarked.text : list.colour;
  std::string text = fitted(list.shown[i], width());
  int from = std::clamp(list.highlightFrom - 1, 0, width());
  int to = list.highlightFrom > 0 ? std::clamp(list.highlightTo, from, width()) : from;
  // The current entry in inverse video: the list's background on a block
  // of the entry's colour.
  bool current = i == list.current;
  auto paint = [&](int c) {
    setTextColor(current ? list.background : c);
    setBackgroundColor(current ? c : list.background);
  };
  paint(colour);
  writeCells(list.left, row, text.substr(0, from));
  paint(list.highlightColour);
  writeCells(list.left + from, row, text.substr(from, to - from));
  paint(colour);
  writeCells(list.left + to, row, text.substr(to));
  setBackgroundColor(list.background);
}

void drawAndSay(bool speaking) {
  for (int i = list.firstVisible; i < list.firstVisible + rows(); ++i) drawRow(i);
  if (speaking && inside(list.current)) {
    showMagnified(list.shown[list.current], 1, list.top + list.current - list.firstVisible);
    if (list.marks[list.current]) beep();
    speak(list.spoken[list.current]);
  }
  int row = list.top + std::max(list.current, 0) - list.firstVisible;
  moveCursor(list.left, std::clamp(row, list.top, list.bottom));
}

// Space, "+", "-", "*" and "/"; false for any other byte, which ends the list.
bool markKey(uint8_t b) {
  bool here = inside(list.current);
  switch (b) {
    case ' ': if (here) list.marks[list.current] ^= 1; return true;
    case '+': if (here) list.marks[list.current] = 1; return true;
    case '-': if (here) list.marks[list.current] = 0; return true;
    case '*': setMarks(0, count() - 1, 1); return true;
    case '/': setMarks(0, count() - 1, 0); return true;
    default: return false;
  }
}

bool endsList(uint8_t code) {
  return (code >= key::F1 && code <= key::F12) || code == key::Left || code == key::Right ||
         (code >= key::CtrlF1 && code <= key::CtrlF8) ||
         (code >= key::CtrlF10 && code <= key::CtrlF12) || code == key::CtrlLeft ||
         code == key::CtrlRight || code == key::CtrlF9;
}

// A movement key; false when the code moves nothing.
bool moveKey(const KeyPress& k) {
  int& c = list.current;
  int last = count() - 1;
  switch (k.code) {
    case key::Down: case 9:
      if (k.shift && inside(c) && !list.marks[c]) {
        beep();
        list.marks[c] = 1;
      }
      ++c;
      if (k.shift && inside(c)) list.marks[c] = 1;
      return true;
    case key::Up:
      if (k.shift && inside(c)) list.marks[c] = 0;
      --c;
      return true;
    case key::PageUp: c -= 10; return true;
    case key::PageDown: c += 10; return true;
    case key::Home: case key::CtrlPageUp:
      if (k.shift) setMarks(0, c, 0);
      beep();
      c = 0;
      return true;
    case key::End: case key::CtrlPageDown:
      if (k.shift) setMarks(c, last, 1);
      beep();
      c = last;
      return true;
    case key::CtrlHome:
      if (!k.shift) return false;
      setMarks(0, c, 1);
      beep();
      c = 0;
      return true;
    case key::CtrlEnd:
      if (!k.shift) return false;
      setMarks(c, last, 0);
      beep();
      c = last;
      return true;
    default:
      return false;
  }
}

void clampCurrent() {
  if (list.current < 0) {
    list.current = -1;
    beep();
  } else if (list.current >= count()) {
    list.current = count();
    beep();
  }
}

}  // namespace

void openList(int left, int top, int right, int bottom) {
  closeList();
  list.left = std::clamp(left, 1, kColumns);
  list.top = std::clamp(top, 1, kRows);
  list.right = std::clamp(right, list.left, kColumns);
  list.bottom = std::clamp(bottom, list.top, kRows);
}

void closeList() {
  clearMagnified();
  list.shown.clear();
  list.spoken.clear();
  list.marks.clear();
  list.current = -1;
  list.firstVisible = 0;
  list.highlightFrom = list.highlightTo = 0;
  list.highlightColour = 15;
  list.refresh = nullptr;
}

bool addListEntry(std::string_view text) {
  if (count() >= kMaxListEntries) return false;
  list.shown.emplace_back(text);
  list.spoken.emplace_back(text);
  list.marks.push_back(0);
  return true;
}

int listCount() { return count(); }

ListEntry listEntry(int index) {
  if (index < 1 || index > count()) return {};
  return {list.shown[index - 1], list.marks[index - 1]};
}

void setListRefresh(ListRefresh refresh) { list.refresh = std::move(refresh); }

void setListHighlight(int from, int to, int colour) {
  list.highlightFrom = from;
  list.highlightTo = to;
  list.highlightColour = colour;
}

ListResult runList(int firstIndex, bool speakFirst) {
  uint8_t attribute = currentAttribute();
  list.colour = attribute & 0x0F;
  list.background = attribute >> 4;
  list.current = firstIndex - 1;
  ListResult result;
  for (bool speaking = speakFirst;; speaking = true) {
    keepCurrentVisible();
    drawAndSay(speaking);
    KeyPress k = readKeyPress();
    stopSpeech();   // every key silences the entry being said
    if (!k.extended()) {
      if (markKey(k.byte)) continue;
      result.key = k.byte;
      break;
    }
    if (isReviewKey(k)) {
      reviewScreen();
      continue;
    }
    if (endsList(k.code)) {
      result.extended = k.code;
      break;
    }
    if (moveKey(k)) clampCurrent();
  }
  setAttribute(attribute);
  result.index = list.current + 1;
  result.inside = inside(list.current);
  return result;
}

}  // namespace varlo
