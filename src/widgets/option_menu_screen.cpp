// Cells, fitted texts and saved rectangles of the screen.
#include "widgets/option_menu_screen.h"

#include <algorithm>

#include "console/console.h"

namespace varlo {

namespace {

int windowWidth() {
  TextWindow w = textWindow();
  return w.right - w.left + 1;
}

}  // namespace

void writeCells(int column, int row, std::string_view text) {
  int room = windowWidth() - column + 1;
  if (room <= 0 || column < 1) return;
  std::string shown(text.substr(0, room));
  for (char& c : shown)
    if (static_cast<uint8_t>(c) < 32) c = ' ';
  moveCursor(column, row);
  writeText(shown);
}

std::string fitted(std::string_view text, int width) {
  std::string out(text.substr(0, std::max(width, 0)));
  out.resize(std::max(width, 0), ' ');
  return out;
}

SavedRect saveRect(int left, int top, int right, int bottom) {
  SavedRect r{left, top, right, bottom, {}, {}};
  for (int row = top; row <= bottom; ++row)
    for (int col = left; col <= right; ++col) {
      r.chars += static_cast<char>(screenChar(col, row));
      r.attributes += static_cast<char>(screenAttribute(col, row));
    }
  return r;
}

void restoreRect(const SavedRect& r) {
  uint8_t attribute = currentAttribute();
  int width = r.right - r.left + 1;
  for (int row = r.top; row <= r.bottom; ++row) {
    size_t base = static_cast<size_t>(row - r.top) * width;
    // One write per run of cells of the same colour.
    for (int col = 0; col < width;) {
      int end = col;
      while (end < width && r.attributes[base + end] == r.attributes[base + col]) ++end;
      setAttribute(static_cast<uint8_t>(r.attributes[base + col]));
      writeCells(r.left + col, row, std::string_view(r.chars).substr(base + col, end - col));
      col = end;
    }
  }
  setAttribute(attribute);
}

}  // namespace varlo
