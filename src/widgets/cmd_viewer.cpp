// The text viewer: a window of lines over the console, the current line
// shown in reverse colours and said aloud.
#include "widgets/cmd_viewer.h"

#include <algorithm>

#include "base/codepage.h"
#include "console/console.h"
#include "speech/speech.h"

namespace varlo {

namespace {

constexpr int kPageRows = kRows - 1;      // the last row holds the key hint
constexpr uint8_t kHighlight = 0x70;      // black on light grey
constexpr const char* kHint = "Setas: linha   PgUp/PgDn: página   Enter: ler tudo   Esc: sair";
constexpr const char* kHeadingHint = "Setas: linha   H/Shift+H: seção   Enter: ler tudo   Esc: sair";
constexpr const char* kExternalHint = "  N: navegador";

struct SavedScreen {
  std::string chars, attributes;
  uint8_t attribute = 7;
};

SavedScreen saveScreen() {
  SavedScreen s;
  for (int row = 1; row <= kRows; ++row) {
    for (int column = 1; column <= kColumns; ++column) {
      s.chars += char(screenChar(column, row));
      s.attributes += char(screenAttribute(column, row));
    }
  }
  s.attribute = currentAttribute();
  return s;
}

// Every cell but the last, whose writing would scroll the window.
void restoreScreen(const SavedScreen& s) {
  for (int row = 1; row <= kRows; ++row) {
    moveCursor(1, row);
    int columns = row == kRows ? kColumns - 1 : kColumns;
    for (int column = 1; column <= columns; ++column) {
      size_t at = size_t((row - 1) * kColumns + column - 1);
      setAttribute(uint8_t(s.attributes[at]));
      writeText(std::string(1, s.chars[at] ? s.chars[at] : ' '));
    }
  }
  setAttribute(s.attribute);
}

struct Viewer {
  const std::vector<std::string>& lines;
  const ViewerOptions& options;
  int current = 0;
  int top = 0;
  uint8_t normal = 7;

  int last() const { return int(lines.size()) - 1; }

  std::string hint() const {
    std::string text = options.headings.empty() ? kHint : kHeadingHint;
    return utf8ToCp1252(options.offersExternal ? text + kExternalHint : text);
  }

  // The next heading after the current line (forward) or the last before it.
  void toHeading(bool forward) {
    const std::vector<int>& h = options.headings;
    int target = current;
    if (forward) {
      for (int i : h)
        if (i > current) { target = i; break; }
    } else {
      for (int i : h)
        if (i < current) target = i;
    }
    moveTo(target);
  }

  void drawRow(int row, int index) {
    moveCursor(1, row);
    std::string text = index <= last() ? lines[size_t(index)] : std::string();
    if (text.size() > size_t(kColumns - 1)) text.resize(size_t(kColumns - 1));
    setAttribute(index == current ? kHighlight : normal);
    writeText(text);
    clearToLineEnd();
    setAttribute(normal);
  }

  void draw() {
    top = std::clamp(top, std::max(0, current - kPageRows + 1), current);
    for (int row = 1; row <= kPageRows; ++row) drawRow(row, top + row - 1);
    moveCursor(1, kRows);
    writeText(hint());
    clearToLineEnd();
    moveCursor(1, current - top + 1);
  }

  void say(const std::string& text) {
    if (options.silent) return;
    stopSpeech();
    bool blank = text.find_first_not_of(' ') == std::string::npos;
    speak(blank ? std::string("em branco") : text);
  }

  void say() { say(lines[size_t(current)]); }

  void moveTo(int index) {
    index = std::clamp(index, 0, last());
    if (index == current) beep();
    current = index;
    draw();
    say();
  }

  // Reads on line after line; a key press stops it where it is.
  void readOn() {
    say();
    for (;;) {
      while (isBusy()) {
        pumpMessages();
        pause(10);
      }
      if (keyPending() || current >= last()) return;
      ++current;
      draw();
      say();
    }
  }

  bool handleExtended(uint8_t code) {
    switch (code) {
      case key::Up: moveTo(current - 1); break;
      case key::Down: moveTo(current + 1); break;
      case key::PageUp: moveTo(current - kPageRows); break;
      case key::PageDown: moveTo(current + kPageRows); break;
      case key::Home: case key::CtrlHome: moveTo(0); break;
      case key::End: case key::CtrlEnd: moveTo(last()); break;
      case key::CtrlDown: toHeading(true); break;
      case key::CtrlUp: toHeading(false); break;
      case key::F1: say(hint()); break;
      default: beep(); break;
    }
    return true;
  }

  // True when left for the external reader.
  bool run() {
    draw();
    say();
    for (;;) {
      uint8_t c = readKey();
      bool headings = !options.headings.empty();
      if (c == 0) handleExtended(readKey());
      else if (c == key::Esc) return false;
      else if (c == key::Enter) readOn();
      else if (c == ' ') say();
      else if (headings && (c == 'h' || c == 'H')) toHeading(c == 'h');
      else if (options.offersExternal && (c == 'n' || c == 'N')) return true;
      else beep();
    }
  }
};

}  // namespace

bool viewText(const std::vector<std::string>& lines, const ViewerOptions& options) {
  if (lines.empty()) return options.offersExternal;
  TextWindow window = textWindow();
  int column = cursorColumn(), row = cursorRow();
  setWindow(1, 1, kColumns, kRows);
  SavedScreen saved = saveScreen();
  Viewer viewer{lines, options};
  viewer.normal = saved.attribute;
  clearWindow();
  bool external = viewer.run();
  stopSpeech();
  restoreScreen(saved);
  setWindow(window.left + 1, window.top + 1, window.right + 1, window.bottom + 1);
  moveCursor(column, row);
  return external;
}

}  // namespace varlo
