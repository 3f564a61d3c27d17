// What the window front end's files share: the window, its fonts and cell
// size, and the picture of the grid last drawn.
#pragma once

#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>

#include <array>
#include <string>
#include <string_view>

#include "console/colour_scheme.h"
#include "console/console.h"

namespace varlo {

struct WindowState {
  SDL_Window* window = nullptr;
  TTF_Font* font = nullptr;
  TTF_Font* bandFont = nullptr;   // the magnifier's, for bandZoom
  int bandZoom = 0;
  std::string fontFile;
  int fontSize = 0;               // point size of the console font
  int cellWidth = 0, cellHeight = 0;
  SDL_Surface* canvas = nullptr;  // the grid's pixels, 80 x 25 cells
  std::array<uint8_t, kColumns * kRows> shownChars{}, shownAttributes{};
  std::array<Rgb, 16> shownColours{};
  ColourPreset shownPreset = ColourPreset::standard;
  int caretPercent = 100;         // of the cell's height; 100 is a block
  bool caretBlinks = false;
  bool redrawAll = true;
  SDL_Surface* picture = nullptr;
  unsigned pictureVersion = 0;
  bool focused = false;
  bool ignoreNextClick = false;
  bool suppressText = false;      // the key just pressed typed no text
};

WindowState& windowState();

// window_front_end.cpp: the window was resized (or shown on a screen of
// another density): cells and font grow or shrink so that the 80 x 25
// cells fill it.
void fitCellsToWindow();

// window_font.cpp: the font file for a face name (a file path, an
// installed font's name, or the default monospaced font), "" when none.
std::string fontFileFor(std::string_view face);
// Opens the font at the largest size whose line fits cellHeight.
TTF_Font* openFontForCell(const std::string& file, int cellHeight, int& size);

// window_drawing.cpp: bring the window up to date with the grid, the
// background picture, the band and the caret.
void drawWindow();
// The window was exposed or resized: the next drawWindow shows everything.
void forgetDrawing();
void releaseDrawing();

// window_keys.cpp: keyboard and mouse events become the console's keys.
void handleKeyDown(const SDL_KeyboardEvent& event);
void handleKeyUp(const SDL_KeyboardEvent& event);
void handleTextInput(const char* utf8);
void handleMouseButton(const SDL_MouseButtonEvent& event);
void handleMouseWheel(const SDL_MouseWheelEvent& event);

}  // namespace varlo
