// The chooser's list on screen: drawing the entries, moving and marking with
// the keys, saying the current entry (its long name spoken, or a name
// spelled after Left or Right).
#include <algorithm>

#include "console/colour_scheme.h"
#include "console/console.h"
#include "console/magnifier.h"
#include "widgets/file_chooser_state.h"
#include "widgets/option_menu_screen.h"
#include "speech/speech.h"

namespace varlo {

namespace {

constexpr uint8_t kWaitKey = 223;

enum class Saying { spoken, longSpelled, shortSpelled };

int count(const ChooserView& v) { return static_cast<int>(v.entries.size()); }
int rows(const ChooserView& v) { return v.bottom - v.top + 1; }
int lastVisible(const ChooserView& v) { return v.firstVisible + rows(v) - 1; }
bool inside(const ChooserView& v, int i) { return i >= 0 && i < count(v); }

void drawEntry(const ChooserView& v, int i, bool current) {
  if (i < v.firstVisible || i > lastVisible(v)) return;
  uint8_t attribute = currentAttribute();
  setBackgroundColor(scheme::chooserFile.background);
  int width = v.right - v.left + 1 - static_cast<int>(v.prefix.size());
  std::string text = v.prefix;
  if (inside(v, i)) {
    const TMySearchRec& e = v.entries[i];
    ColourPair pair = e.mark                          ? scheme::chooserMarked
                      : (e.attr & attr::directory) ? scheme::chooserFolder
                                                   : scheme::chooserFile;
    // The current entry in inverse video.
    setTextColor(current ? pair.background : pair.text);
    setBackgroundColor(current ? pair.text : pair.background);
    text += fitted(e.name, width);
  } else {
    text += std::string(std::max(width, 0), ' ');
  }
  writeCells(v.left, v.top + i - v.firstVisible, text);
  setAttribute(attribute);
}

void drawAll(const ChooserView& v, int current) {
  for (int i = v.firstVisible; i <= lastVisible(v); ++i) drawEntry(v, i, i == current);
}

// Move the view one entry at a time until the current entry shows.
void scrollTo(ChooserView& v, int current) {
  int first = v.firstVisible;
  while (current < v.firstVisible && v.firstVisible > 0) --v.firstVisible;
  while (current > lastVisible(v) && lastVisible(v) < count(v) - 1) ++v.firstVisible;
  if (first != v.firstVisible) drawAll(v, current);
}

void setMarks(ChooserView& v, int from, int to, uint8_t mark) {
  for (int i = std::max(from, 0); i <= std::min(to, count(v) - 1); ++i) v.entries[i].mark = mark;
}

void down(ChooserView& v, int& i, bool shift) {
  if (shift && inside(v, i) && !v.entries[i].mark) {
    beep();
    v.entries[i].mark = 1;
  }
  ++i;
  if (shift && inside(v, i)) v.entries[i].mark = 1;
}

void up(ChooserView& v, int& i, bool shift) {
  if (shift && inside(v, i) && v.entries[i].mark) {
    v.entries[i].mark = 0;
    click();
  }
  --i;
}

// Say the current entry, or beep when the index lies outside the entries.
void showCurrent(ChooserView& v, int i, Saying saying) {
  if (!inside(v, i)) {
    beep();
    moveCursor(v.right, v.bottom);
    return;
  }
  scrollTo(v, i);
  drawEntry(v, i, true);
  moveCursor(v.left, v.top + i - v.firstVisible);
  const TMySearchRec& e = v.entries[i];
  showMagnified(e.name, 1, v.top + i - v.firstVisible);
  switch (saying) {
    case Saying::longSpelled: spell(e.name); break;
    case Saying::shortSpelled: spell(e.shortName); break;
    case Saying::spoken:
      if (e.mark) beep();
      speak(e.name);
      break;
  }
}

// Handle one key; false when it ends the run.
bool handleKey(ChooserView& v, int& i, const KeyPress& k, Saying& saying) {
  saying = Saying::spoken;
  int last = count(v) - 1;
  if (!k.extended()) {
    switch (k.byte) {
      case ' ': if (inside(v, i)) v.entries[i].mark ^= 1; return true;
      case '+': if (inside(v, i)) v.entries[i].mark = 1; return true;
      case '-': if (inside(v, i)) v.entries[i].mark = 0; return true;
      case '*': setMarks(v, 0, last, 1); drawAll(v, i); return true;
      case '/': setMarks(v, 0, last, 0); drawAll(v, i); return true;
      case kWaitKey: while (!keyPending()) pause(20); return true;
      default: return false;
    }
  }
  switch (k.code) {
    case key::F5: i = searchEntries(v, i, k.shift, true); return true;
    case key::CtrlF5: i = searchEntries(v, i, k.shift, false); return true;
    case key::Down: down(v, i, k.shift); return true;
    case key::Up: up(v, i, k.shift); return true;
    case key::PageDown: for (int n = 0; n < 10; ++n) down(v, i, k.shift); return true;
    case key::PageUp: for (int n = 0; n < 10; ++n) up(v, i, k.shift); return true;
    case key::Home: case key::CtrlHome: case key::CtrlPageUp:
      if (k.shift) {
        setMarks(v, 0, i, k.code == key::CtrlHome);
        beep();
        drawAll(v, i);
      }
      i = 0;
      return true;
    case key::End: case key::CtrlEnd: case key::CtrlPageDown:
      if (k.shift) {
        setMarks(v, i, last, k.code != key::CtrlEnd);
        beep();
        drawAll(v, i);
      }
      i = last;
      return true;
    case key::Left: saying = Saying::shortSpelled; return true;
    case key::Right: saying = Saying::longSpelled; return true;
    default: return false;
  }
}

}  // namespace

EntryRun runEntries(ChooserView& v, int start) {
  int i = std::clamp(start, 0, std::max(count(v) - 1, 0));
  drawAll(v, -1);
  showCurrent(v, i, Saying::spoken);
  EntryRun run;
  for (;;) {
    while (!keyPending() && isBusy()) pause(10);
    run.key = readKeyPress();
    stopSpeech();
    Saying saying;
    int before = i;
    if (!handleKey(v, i, run.key, saying)) break;
    i = std::clamp(i, -1, count(v));
    if (inside(v, before) && before != i) drawEntry(v, before, false);
    showCurrent(v, i, saying);
  }
  bool esc = !run.key.extended() && run.key.byte == key::Esc;
  run.index = inside(v, i) && !esc ? i : -1;
  if (run.index >= 0) {
    drawEntry(v, i, true);
    setTextColor(scheme::chooserFile.text);
  }
  return run;
}

}  // namespace varlo
