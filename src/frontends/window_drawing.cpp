// Drawing the window: the grid's rows are kept as pixels and redrawn in runs
// of equal attribute when they change; the background picture, the
// magnifier's band and the caret (a block in inverse video unless [VIDEO]
// makes it thinner) are laid over them on every update.
#include <algorithm>
#include <cstring>

#include "base/codepage.h"
#include "console/background_image.h"
#include "console/colour_scheme.h"
#include "console/console_front_end.h"
#include "console/magnifier.h"
#include "frontends/window_state.h"

namespace varlo {

namespace {

// What was laid over the grid at the last update, to skip updates that
// would show the same picture.
struct Overlay {
  bool band = false;
  std::string bandText;
  int bandColours = 0;
  unsigned picture = 0;
  int pictureX = 0, pictureY = 0;
  int caretColumn = -1, caretRow = -1;   // -1: no caret shown (or blinked off)
  bool operator==(const Overlay&) const = default;
};

Overlay shownOverlay;

SDL_Color sdlColour(Rgb c) { return {c.r, c.g, c.b, 255}; }

Uint32 mapped(SDL_Surface* s, Rgb c) { return SDL_MapRGB(s->format, c.r, c.g, c.b); }

// Text in one colour pair stretched over a rectangle (the font's own width
// need not match the cell's).
void drawText(SDL_Surface* target, TTF_Font* font, std::string_view text, Rgb fg, Rgb bg, SDL_Rect rect) {
  SDL_FillRect(target, &rect, mapped(target, bg));
  if (text.find_first_not_of(' ') == std::string_view::npos) return;
  std::string utf8 = cp1252ToUtf8(text);
  SDL_Surface* glyphs = TTF_RenderUTF8_Shaded(font, utf8.c_str(), sdlColour(fg), sdlColour(bg));
  // A stretching blit needs both surfaces in one pixel format.
  SDL_Surface* converted = glyphs ? SDL_ConvertSurface(glyphs, target->format, 0) : nullptr;
  if (converted) SDL_BlitScaled(converted, nullptr, target, &rect);
  SDL_FreeSurface(converted);
  SDL_FreeSurface(glyphs);
}

void drawRow(WindowState& w, int row) {
  const uint8_t* chars = gridCharacters() + row * kColumns;
  const uint8_t* attributes = gridAttributes() + row * kColumns;
  for (int start = 0; start < kColumns;) {
    int end = start;
    while (end < kColumns && attributes[end] == attributes[start]) ++end;
    CellColours colours = cellColours(attributes[start]);
    SDL_Rect rect{start * w.cellWidth, row * w.cellHeight, (end - start) * w.cellWidth, w.cellHeight};
    drawText(w.canvas, w.font, std::string_view(reinterpret_cast<const char*>(chars + start), end - start),
             colours.text, colours.background, rect);
    start = end;
  }
}

// Redraws the rows that changed; true when any did.
bool updateCanvas(WindowState& w) {
  for (int i = 0; i < 16; ++i) {
    Rgb c = colourRgb(i);
    Rgb& shown = w.shownColours[static_cast<size_t>(i)];
    if (c.r != shown.r || c.g != shown.g || c.b != shown.b) w.redrawAll = true;
    shown = c;
  }
  if (colourPreset() != w.shownPreset) w.redrawAll = true;
  w.shownPreset = colourPreset();
  bool changed = false;
  for (int row = 0; row < kRows; ++row) {
    size_t at = static_cast<size_t>(row * kColumns);
    bool same = !w.redrawAll &&
                std::memcmp(w.shownChars.data() + at, gridCharacters() + at, kColumns) == 0 &&
                std::memcmp(w.shownAttributes.data() + at, gridAttributes() + at, kColumns) == 0;
    if (same) continue;
    drawRow(w, row);
    std::memcpy(w.shownChars.data() + at, gridCharacters() + at, kColumns);
    std::memcpy(w.shownAttributes.data() + at, gridAttributes() + at, kColumns);
    changed = true;
  }
  w.redrawAll = false;
  return changed;
}

void loadPicture(WindowState& w, const BackgroundImage& image) {
  if (w.picture) SDL_FreeSurface(w.picture);
  w.picture = nullptr;
  w.pictureVersion = image.version;
  if (!image.picture) return;
  const Picture& p = *image.picture;
  SDL_Surface* rgb = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint8_t*>(p.rgb.data()), p.width, p.height, 24, p.width * 3, SDL_PIXELFORMAT_RGB24);
  if (!rgb) return;
  w.picture = SDL_ConvertSurfaceFormat(rgb, SDL_PIXELFORMAT_RGB888, 0);
  SDL_FreeSurface(rgb);
}

TTF_Font* bandFont(WindowState& w, int zoom) {
  if (w.bandFont && w.bandZoom == zoom) return w.bandFont;
  if (w.bandFont) TTF_CloseFont(w.bandFont);
  w.bandFont = TTF_OpenFont(w.fontFile.c_str(), w.fontSize * zoom);
  w.bandZoom = zoom;
  return w.bandFont ? w.bandFont : w.font;
}

// The band: text before the cursor, the cursor character in inverse video
// (the band's background on a block of the cursor colour), and the rest,
// each cell z times the console's cell.
void drawBand(WindowState& w, SDL_Surface* target, const MagnifierBand& band) {
  TTF_Font* font = bandFont(w, band.zoom);
  int width = w.cellWidth * band.zoom, height = w.cellHeight * band.zoom;
  int x = 0, y = (band.row - 1) * w.cellHeight;
  CellColours text = cellColours(static_cast<uint8_t>(band.backgroundColour << 4 | band.textColour));
  CellColours cursor = cellColours(static_cast<uint8_t>(band.cursorColour << 4 | band.backgroundColour));
  const std::pair<const std::string*, CellColours> parts[] = {
      {&band.slice.before, text}, {&band.slice.cursor, cursor}, {&band.slice.after, text}};
  for (const auto& [part, colours] : parts) {
    if (part->empty()) continue;
    SDL_Rect rect{x, y, static_cast<int>(part->size()) * width, height};
    drawText(target, font, *part, colours.text, colours.background, rect);
    x += rect.w;
  }
}

// The caret: the lower part of the cursor's cell (all of it for a block)
// drawn again in inverse video.
void drawCaret(WindowState& w, SDL_Surface* target, int column, int row) {
  size_t at = static_cast<size_t>(row * kColumns + column);
  CellColours colours = cellColours(gridAttributes()[at]);
  SDL_Rect cell{column * w.cellWidth, row * w.cellHeight, w.cellWidth, w.cellHeight};
  int height = std::clamp(w.cellHeight * w.caretPercent / 100, 2, w.cellHeight);
  SDL_Rect caret{cell.x, cell.y + w.cellHeight - height, w.cellWidth, height};
  SDL_SetClipRect(target, &caret);
  drawText(target, w.font, std::string(1, static_cast<char>(gridCharacters()[at])), colours.background,
           colours.text, cell);
  SDL_SetClipRect(target, nullptr);
}

bool caretBlinkedOff(const WindowState& w) {
  constexpr Uint32 kBlinkMs = 530;
  return w.caretBlinks && (SDL_GetTicks() / kBlinkMs) % 2 == 1;
}

Overlay currentOverlay(const WindowState& w) {
  Overlay o;
  if (const MagnifierBand* band = magnifierBand()) {
    o.band = true;
    o.bandText = band->slice.before + '\1' + band->slice.cursor + '\1' + band->slice.after;
    o.bandColours = band->row << 24 | band->zoom << 12 | band->textColour << 8 |
                    band->backgroundColour << 4 | band->cursorColour;
  }
  BackgroundImage image = backgroundImage();
  o.picture = image.version;
  o.pictureX = image.x;
  o.pictureY = image.y;
  const MagnifierBand* band = magnifierBand();
  int row = absoluteCursorRow();
  bool underBand = band && row >= band->row - 1 && row < band->row - 1 + band->zoom;
  if (caretWanted() && w.focused && !underBand && !caretBlinkedOff(w)) {
    o.caretColumn = absoluteCursorColumn();
    o.caretRow = row;
  }
  return o;
}

}  // namespace

void drawWindow() {
  WindowState& w = windowState();
  SDL_Surface* surface = SDL_GetWindowSurface(w.window);
  if (!surface || !w.canvas) return;
  bool rowsChanged = updateCanvas(w);
  Overlay overlay = currentOverlay(w);
  if (!rowsChanged && overlay == shownOverlay) return;
  shownOverlay = overlay;
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
  SDL_BlitSurface(w.canvas, nullptr, surface, nullptr);
  BackgroundImage image = backgroundImage();
  if (image.version != w.pictureVersion) loadPicture(w, image);
  if (w.picture) {
    SDL_Rect at{image.x, image.y, w.picture->w, w.picture->h};
    SDL_BlitSurface(w.picture, nullptr, surface, &at);
  }
  if (const MagnifierBand* band = magnifierBand()) drawBand(w, surface, *band);
  if (overlay.caretRow >= 0) drawCaret(w, surface, overlay.caretColumn, overlay.caretRow);
  SDL_UpdateWindowSurface(w.window);
}

// The window was exposed or resized: draw everything again.
void forgetDrawing() {
  shownOverlay = Overlay{};
  shownOverlay.picture = ~0u;
}

void releaseDrawing() {
  WindowState& w = windowState();
  if (w.picture) SDL_FreeSurface(w.picture);
  if (w.bandFont) TTF_CloseFont(w.bandFont);
  w.picture = nullptr;
  w.bandFont = nullptr;
}

}  // namespace varlo
