// The magnifier's state, the slice arithmetic that keeps the cursor in view
// and the band's place; drawing the band is the window front end's.
#include "console/magnifier.h"

#include <algorithm>

#include "base/codepage.h"
#include "console/colour_scheme.h"
#include "console/console_core.h"

namespace varlo {

namespace {

struct Magnifier {
  bool on = false;
  bool shown = false;
  int first = 1;
  int topRow = 1;
  // What the band last magnified, to show it again at another zoom.
  std::string text;
  int k = 1, focusRow = 1;
  MagnifierBand band{1, 0, scheme::magnifier.text, scheme::magnifier.background,
                     scheme::magnifier.text, {}};
} magnifier;

int colourOrDefault(int index, int fallback) { return index >= 0 && index < 16 ? index : fallback; }

void redraw() {
  const FrontEnd& fe = frontEnd();
  fe.refresh();
}

void place() {
  MagnifierBand& band = magnifier.band;
  band.slice = magnifiedSlice(magnifier.text, magnifier.k, kColumns / band.zoom, magnifier.first);
  band.row = magnifierBandRow(magnifier.focusRow, band.zoom, magnifier.topRow);
}

}  // namespace

MagnifiedSlice magnifiedSlice(std::string_view text, int k, int width, int& first) {
  width = std::max(width, 1);
  k = std::max(k, 1);
  // Leading blanks (the indent of a menu entry) would take the band's room.
  size_t nonBlank = text.find_first_not_of(' ');
  int lead = nonBlank == std::string_view::npos ? 1 : static_cast<int>(nonBlank) + 1;
  int lowest = k > 1 ? std::min(lead, k - 1) : lead;
  if (k - 1 < first) first = k - 1;
  if (first < lowest) first = lowest;
  if (first + width < k) first = k - width;
  std::string slice;
  if (static_cast<size_t>(first - 1) < text.size()) slice = text.substr(first - 1, width);
  slice.resize(static_cast<size_t>(width), ' ');
  MagnifiedSlice result;
  if (k == 1) {   // nothing highlighted; the slice may start past position 1
    result.after = slice;
    return result;
  }
  size_t n = static_cast<size_t>(k - first + 1);   // 2 ... width + 1
  result.before = slice.substr(0, n - 2);
  result.cursor = slice.substr(n - 2, 1);
  result.after = slice.substr(n - 1);
  return result;
}

int magnifierBandRow(int focusRow, int zoom, int topRow) {
  zoom = std::clamp(zoom, 1, kRows);
  int lowerHalf = kRows / 2 + 1;
  if (focusRow >= lowerHalf) return std::clamp(topRow, 1, std::max(1, lowerHalf - zoom));
  return kRows - zoom + 1;
}

void setMagnifierColours(int text, int background, int cursor) {
  magnifier.band.textColour = colourOrDefault(text, scheme::magnifier.text);
  magnifier.band.backgroundColour = colourOrDefault(background, scheme::magnifier.background);
  magnifier.band.cursorColour = colourOrDefault(cursor, magnifier.band.textColour);
}

void startMagnifier(int row, int zoom) {
  if (zoom <= 0) {
    bool wasShown = magnifier.shown;
    magnifier.on = magnifier.shown = false;
    if (wasShown) redraw();
    return;
  }
  magnifier.on = true;
  magnifier.topRow = std::clamp(row, 1, kRows);
  magnifier.band.zoom = std::min(zoom, 10);
  magnifier.first = 1;
}

bool magnifierOn() { return magnifier.on; }

void showMagnified(std::string_view text, int k, int focusRow) {
  if (!magnifier.on) return;
  magnifier.text = text;
  magnifier.k = k;
  magnifier.focusRow = textWindow().top + focusRow;
  place();
  magnifier.shown = true;
  redraw();
}

void clearMagnified() {
  if (!magnifier.shown) return;
  magnifier.shown = false;
  redraw();
}

void changeMagnifierZoom(int step) {
  if (!magnifier.on) {
    announce(utf8ToCp1252("Ampliação desligada"));
    return;
  }
  MagnifierBand& band = magnifier.band;
  band.zoom = std::clamp(band.zoom + step, 1, 10);
  magnifier.first = 1;
  if (magnifier.shown) {
    place();
    redraw();
  }
  announce(utf8ToCp1252("Ampliação ") + std::to_string(band.zoom));
}

const MagnifierBand* magnifierBand() { return magnifier.shown ? &magnifier.band : nullptr; }

}  // namespace varlo
