// The low-vision magnifier: a band of the console window that repeats a
// slice of the line being worked on in a font z times larger, with the
// character at the cursor in inverse video. The band sits in the half of
// the window away from the row it magnifies, so it never hides it. Front
// ends without fonts to enlarge (terminal, headless) keep the state and draw
// nothing.
#pragma once

#include <string>
#include <string_view>

namespace varlo {

// What the band shows: the text before the cursor character, the cursor
// character itself (empty when nothing is highlighted) and what follows,
// padded to the band's width.
struct MagnifiedSlice {
  std::string before, cursor, after;
};

// The slice of text for highlight position k (one past the highlighted
// character, 1-based) in a band of width characters; first is the first
// shown position, kept between calls and moved as little as possible. The
// slice starts no earlier than the text's first non-blank character unless
// the cursor is on the blanks before it.
MagnifiedSlice magnifiedSlice(std::string_view text, int k, int width, int& first);

// The band's first row (1-based, absolute) for a band of zoom rows that
// magnifies absolute row focusRow: at topRow while the focus is in the lower
// half of the window, at the bottom while it is in the upper half.
int magnifierBandRow(int focusRow, int zoom, int topRow);

// Colour indexes of the console palette.
void setMagnifierColours(int text, int background, int cursor);
// Zoom 0 switches the magnifier off; otherwise the band's upper place (row
// 1: the top) and the zoom factor (1-10) are kept and the first shown
// position starts over.
void startMagnifier(int row, int zoom);
bool magnifierOn();
// Draws the band for text at focusRow (1-based, text window relative: the
// row the text is on); nothing while the magnifier is off.
void showMagnified(std::string_view text, int k, int focusRow);
// Removes the band: the window shows its grid again.
void clearMagnified();
// Zoom in or out by one step (1-10) while the magnifier runs, redrawing the
// band and saying the new zoom.
void changeMagnifierZoom(int step);

// What a front end draws over the grid: null when no band is shown.
struct MagnifierBand {
  int row;    // 1-based absolute band row
  int zoom;
  int textColour, backgroundColour, cursorColour;
  MagnifiedSlice slice;
};
const MagnifierBand* magnifierBand();

}  // namespace varlo
