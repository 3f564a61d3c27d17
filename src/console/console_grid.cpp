// The character grid: cells and attributes, the text window, the cursor, the
// output of byte strings with deferred wrap, scrolling and clearing.
#include <algorithm>
#include <array>

#include "console/console_core.h"

namespace varlo {

namespace {

constexpr int kCells = kColumns * kRows;

struct Grid {
  std::array<uint8_t, kCells> chars{};
  std::array<uint8_t, kCells> attributes{};
  TextWindow window{0, 0, kColumns - 1, kRows - 1};
  int column = 0;   // relative to the window; may be one past its width
  int row = 0;
  int mirrorHolds = 0;  // holdMirror calls not yet released
  uint8_t attribute = 0x0F;
} grid;

int windowWidth() { return grid.window.right - grid.window.left + 1; }
int windowHeight() { return grid.window.bottom - grid.window.top + 1; }

int cellIndex(int column, int row) {   // window-relative, 0-based
  return (grid.window.top + row) * kColumns + grid.window.left + column;
}

void putCell(int column, int row, uint8_t ch) {
  int at = cellIndex(column, row);
  grid.chars[at] = ch;
  grid.attributes[at] = grid.attribute;
}

void blankRow(int row, int fromColumn) {
  for (int c = fromColumn; c < windowWidth(); ++c) putCell(c, row, ' ');
}

// Rows top+1 ... bottom move up one row inside the window's columns.
void scrollWindowUp() {
  int width = windowWidth();
  for (int r = 0; r + 1 < windowHeight(); ++r) {
    int to = cellIndex(0, r), from = cellIndex(0, r + 1);
    std::copy_n(grid.chars.begin() + from, width, grid.chars.begin() + to);
    std::copy_n(grid.attributes.begin() + from, width, grid.attributes.begin() + to);
  }
  blankRow(windowHeight() - 1, 0);
}

void newLine() {
  if (grid.row + 1 < windowHeight())
    ++grid.row;
  else
    scrollWindowUp();
}

void writeByte(uint8_t b) {
  switch (b) {
    case 7:
      frontEnd().bell();
      return;
    case 8:
      if (grid.column > 0) putCell(--grid.column, grid.row, ' ');
      return;
    case 10:
      newLine();
      grid.column = 0;
      return;
    case 13:
      grid.column = 0;
      return;
    default:
      break;
  }
  if (b < 32) return;
  if (grid.column >= windowWidth()) {   // the wrap deferred from the last byte
    grid.column = 0;
    newLine();
  }
  putCell(grid.column++, grid.row, b);
}

}  // namespace

void resetGrid(uint8_t attribute) {
  grid.attribute = attribute;
  grid.chars.fill(' ');
  grid.attributes.fill(attribute);
  grid.window = {0, 0, kColumns - 1, kRows - 1};
  grid.column = grid.row = 0;
}

void writeText(std::string_view bytes) {
  const FrontEnd& fe = frontEnd();
  for (char c : bytes) writeByte(static_cast<uint8_t>(c));
  if (grid.mirrorHolds == 0) mirrorText(bytes);
  fe.refresh();
  pumpMessages();
}

void holdMirror() { ++grid.mirrorHolds; }
void releaseMirror() { grid.mirrorHolds = std::max(grid.mirrorHolds - 1, 0); }

void mirrorText(std::string_view bytes) {
  const FrontEnd& fe = frontEnd();
  if (fe.wrote) fe.wrote(bytes);
}

void moveCursor(int column, int row) {
  const FrontEnd& fe = frontEnd();
  grid.column = std::clamp(column, 1, windowWidth()) - 1;
  grid.row = std::clamp(row, 1, windowHeight()) - 1;
  fe.refresh();
}

int cursorColumn() {
  openConsole();
  return grid.column + 1;
}

int cursorRow() {
  openConsole();
  return grid.row + 1;
}

void clearWindow() {
  const FrontEnd& fe = frontEnd();
  for (int r = 0; r < windowHeight(); ++r) blankRow(r, 0);
  grid.column = grid.row = 0;
  fe.refresh();
}

void clearToLineEnd() {
  const FrontEnd& fe = frontEnd();
  blankRow(grid.row, grid.column);
  fe.refresh();
}

// The window is kept inside the grid and never inverted: a window past the
// grid's edge would write outside the cell planes.
void setWindow(int left, int top, int right, int bottom) {
  const FrontEnd& fe = frontEnd();
  grid.window.left = std::clamp(left, 1, kColumns) - 1;
  grid.window.top = std::clamp(top, 1, kRows) - 1;
  grid.window.right = std::clamp(right, grid.window.left + 1, kColumns) - 1;
  grid.window.bottom = std::clamp(bottom, grid.window.top + 1, kRows) - 1;
  grid.column = grid.row = 0;
  fe.refresh();
}

TextWindow textWindow() {
  openConsole();
  return grid.window;
}

uint8_t currentAttribute() {
  openConsole();
  return grid.attribute;
}

void setAttribute(uint8_t attribute) {
  openConsole();
  grid.attribute = attribute;
}

// Positions outside the window read as a blank in the current attribute.
uint8_t screenChar(int column, int row) {
  openConsole();
  if (column < 1 || column > windowWidth() || row < 1 || row > windowHeight()) return ' ';
  return grid.chars[cellIndex(column - 1, row - 1)];
}

uint8_t screenAttribute(int column, int row) {
  openConsole();
  if (column < 1 || column > windowWidth() || row < 1 || row > windowHeight())
    return grid.attribute;
  return grid.attributes[cellIndex(column - 1, row - 1)];
}

std::string screenDump() {
  openConsole();
  std::string out;
  for (int r = 0; r < kRows; ++r) {
    std::string line(grid.chars.begin() + r * kColumns, grid.chars.begin() + (r + 1) * kColumns);
    line.erase(line.find_last_not_of(' ') + 1);
    out += line;
    out += '\n';
  }
  return out;
}

const uint8_t* gridCharacters() { return grid.chars.data(); }
const uint8_t* gridAttributes() { return grid.attributes.data(); }

int absoluteCursorColumn() {
  return grid.window.left + std::min(grid.column, windowWidth() - 1);
}

int absoluteCursorRow() { return grid.window.top + grid.row; }

void makeRoom(int rows) {
  for (int i = 0; i < rows; ++i) writeText("\r\n");
  moveCursor(cursorColumn(), std::max(1, cursorRow() - rows));
}

}  // namespace varlo
