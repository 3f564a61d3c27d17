// The magnifier's state and the slice arithmetic that keeps the cursor in
// view; drawing the band is the window front end's.
#include "console/magnifier.h"

#include <algorithm>

#include "console/console_core.h"

namespace varlo {

namespace {

struct Magnifier {
  bool on = false;
  bool shown = false;
  int first = 1;
  MagnifierBand band{1, 0, 14, 6, 3, {}};
} magnifier;

int colourOrDefault(int index, int fallback) { return index >= 0 && index < 16 ? index : fallback; }

void redraw() {
  const FrontEnd& fe = frontEnd();
  fe.refresh();
}

}  // namespace

MagnifiedSlice magnifiedSlice(std::string_view text, int k, int width, int& first) {
  width = std::max(width, 1);
  k = std::max(k, 1);
  if (k - 1 < first) first = k - 1;
  if (first <= 0) first = 1;
  if (first + width < k) first = k - width;
  std::string slice;
  if (static_cast<size_t>(first - 1) < text.size()) slice = text.substr(first - 1, width);
  slice.resize(static_cast<size_t>(width), ' ');
  size_t n = static_cast<size_t>(k - first + 1);   // 1 ... width + 1
  MagnifiedSlice result;
  result.before = slice.substr(0, n > 2 ? n - 2 : 0);
  if (n > 1) result.cursor = slice.substr(n - 2, 1);
  result.after = slice.substr(n - 1);
  return result;
}

void setMagnifierColours(int text, int background, int cursor) {
  magnifier.band.textColour = colourOrDefault(text, 14);
  magnifier.band.backgroundColour = colourOrDefault(background, 6);
  magnifier.band.cursorColour = colourOrDefault(cursor, 3);
}

void startMagnifier(int row, int zoom) {
  if (zoom <= 0) {
    bool wasShown = magnifier.shown;
    magnifier.on = magnifier.shown = false;
    if (wasShown) redraw();
    return;
  }
  magnifier.on = true;
  magnifier.band.row = std::clamp(row, 1, kRows);
  magnifier.band.zoom = std::min(zoom, 10);
  magnifier.first = 1;
}

bool magnifierOn() { return magnifier.on; }

void showMagnified(std::string_view text, int k) {
  if (!magnifier.on) return;
  int width = kColumns / magnifier.band.zoom;
  magnifier.band.slice = magnifiedSlice(text, k, width, magnifier.first);
  magnifier.shown = true;
  redraw();
}

void clearMagnified() {
  if (!magnifier.shown) return;
  magnifier.shown = false;
  redraw();
}

const MagnifierBand* magnifierBand() { return magnifier.shown ? &magnifier.band : nullptr; }

}  // namespace varlo
