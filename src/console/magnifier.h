// The low-vision magnifier: a band at the top of the console window that
// repeats a slice of the line being worked on in a font z times larger, with
// the character at the cursor in its own colour. Front ends without fonts to
// enlarge (terminal, headless) keep the state and draw nothing.
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
// shown position, kept between calls and moved as little as possible.
MagnifiedSlice magnifiedSlice(std::string_view text, int k, int width, int& first);

// Colour indexes of the console palette.
void setMagnifierColours(int text, int background, int cursor);
// Zoom 0 switches the magnifier off; otherwise the band row (1: top) and the
// zoom factor (1-10) are kept and the first shown position starts over.
void startMagnifier(int row, int zoom);
bool magnifierOn();
// Draws the band; nothing while the magnifier is off.
void showMagnified(std::string_view text, int k);
// Removes the band: the window shows its grid again.
void clearMagnified();

// What a front end draws over the grid: null when no band is shown.
struct MagnifierBand {
  int row;    // 1-based band row
  int zoom;
  int textColour, backgroundColour, cursorColour;
  MagnifiedSlice slice;
};
const MagnifierBand* magnifierBand();

}  // namespace varlo
