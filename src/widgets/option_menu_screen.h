// Drawing helpers of the pop-up lists (menus, forms, marking lists, the file
// chooser and the field editor): cells written without wrapping or control
// effects, texts fitted to a width, and rectangles of the screen saved and
// put back with their colours.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varlo {

// Write text at (column, row) in the current attribute, never past the
// window's last column; bytes below 32 show as spaces.
void writeCells(int column, int row, std::string_view text);
// Text padded with spaces or cut to width.
std::string fitted(std::string_view text, int width);

struct SavedRect {
  int left = 1, top = 1, right = 0, bottom = 0;
  std::string chars, attributes;   // row by row
};
SavedRect saveRect(int left, int top, int right, int bottom);
// Put the cells back with their own colours; the attribute is kept.
void restoreRect(const SavedRect& rect);

}  // namespace varlo
