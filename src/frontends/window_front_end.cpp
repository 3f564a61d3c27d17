// The window front end: opening the window with the [VIDEO] font, size and
// cursor, cells that follow the window's size, the event loop, the title,
// the clipboard, minimizing and the end of the program when the window is
// closed.
#include "frontends/window_front_end.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/codepage.h"
#include "base/config.h"
#include "frontends/window_state.h"

namespace varlo {

namespace {

WindowState state;

std::string videoSetting(std::string_view key) { return readRawSetting("VIDEO", key); }

// A size setting in pixels; missing or not a positive number gives the
// fallback.
int pixelSetting(std::string_view key, int fallback) {
  int value = std::atoi(videoSetting(key).c_str());
  return value > 0 && value <= 200 ? value : fallback;
}

char firstLetter(std::string_view key) {
  std::string value = videoSetting(key);
  return value.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
}

// The window opens maximized unless CANTOTELA says "NAO".
bool opensMaximized() { return firstLetter("CANTOTELA") != 'N'; }

// ESPESSURACURSOR: the caret's height in percent of the cell (a block when
// missing or not 1-100); CURSORPISCANTE "SIM" makes it blink.
void readCaretSettings() {
  int percent = std::atoi(videoSetting("ESPESSURACURSOR").c_str());
  state.caretPercent = percent >= 1 && percent <= 100 ? percent : 100;
  state.caretBlinks = firstLetter("CURSORPISCANTE") == 'S';
}

// The cell size: the settings, else in proportion to the work area.
void chooseCellSize(int& width, int& height) {
  SDL_Rect work{0, 0, 1024, 734};
  SDL_GetDisplayUsableBounds(0, &work);
  width = pixelSetting("LARGURALETRA", std::max(1, static_cast<int>(std::lround(work.w / 1024.0 * 13))));
  height = pixelSetting("ALTURALETRA", std::max(1, static_cast<int>(std::lround(work.h / 734.0 * 28))));
}

// The smallest cells still legible; the window may grow without limit.
constexpr int kMinCellWidth = 4, kMinCellHeight = 8;

SDL_Surface* newCanvas(int cellWidth, int cellHeight) {
  return SDL_CreateRGBSurfaceWithFormat(0, kColumns * cellWidth, kRows * cellHeight, 32,
                                        SDL_PIXELFORMAT_RGB888);
}

bool openFont(std::string& reason) {
  std::string face = videoSetting("FONTE");
  state.fontFile = fontFileFor(face);
  if (state.fontFile.empty()) {
    reason = "nenhuma fonte monoespaçada instalada";
    return false;
  }
  chooseCellSize(state.cellWidth, state.cellHeight);
  state.font = openFontForCell(state.fontFile, state.cellHeight, state.fontSize);
  if (!state.font) {
    reason = "a fonte " + state.fontFile + " não pôde ser aberta";
    return false;
  }
  return true;
}

bool createWindow(std::string& reason) {
  Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI |
                  (opensMaximized() ? SDL_WINDOW_MAXIMIZED : 0);
  state.window = SDL_CreateWindow("VARLO KET", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                  kColumns * state.cellWidth, kRows * state.cellHeight, flags);
  state.canvas = state.window ? newCanvas(state.cellWidth, state.cellHeight) : nullptr;
  if (!state.canvas) {
    reason = SDL_GetError();
    return false;
  }
  SDL_SetWindowMinimumSize(state.window, kColumns * kMinCellWidth, kRows * kMinCellHeight);
  readCaretSettings();
  fitCellsToWindow();
  SDL_StartTextInput();
  return true;
}

// Only when the window could not be made: at the end of the program the
// window goes with the process, and a display already gone would turn any
// last call into a second error.
void closeWindow() {
  releaseDrawing();
  if (state.canvas) SDL_FreeSurface(state.canvas);
  if (state.font) TTF_CloseFont(state.font);
  if (state.window) SDL_DestroyWindow(state.window);
  state.canvas = nullptr;
  state.font = nullptr;
  state.window = nullptr;
  if (TTF_WasInit()) TTF_Quit();
  SDL_Quit();
}

void onWindowEvent(const SDL_WindowEvent& event) {
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
      closeConsole(0);
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      state.focused = true;
      // The button that brought the window to the front is still down.
      state.ignoreNextClick = SDL_GetGlobalMouseState(nullptr, nullptr) != 0;
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      state.focused = false;
      state.ignoreNextClick = false;
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      fitCellsToWindow();
      forgetDrawing();
      break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESTORED:
      forgetDrawing();
      break;
    default:
      return;
  }
  drawWindow();
}

void handleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT: closeConsole(0);
    case SDL_WINDOWEVENT: onWindowEvent(event.window); break;
    case SDL_KEYDOWN: handleKeyDown(event.key); break;
    case SDL_KEYUP: handleKeyUp(event.key); break;
    case SDL_TEXTINPUT: handleTextInput(event.text.text); break;
    case SDL_MOUSEBUTTONDOWN: handleMouseButton(event.button); break;
    case SDL_MOUSEWHEEL: handleMouseWheel(event.wheel); break;
    default: break;
  }
}

void refresh() {
  if (state.window) drawWindow();
}

void bell() { SDL_FlashWindow(state.window, SDL_FLASH_BRIEFLY); }

void titleChanged() {
  if (state.window) SDL_SetWindowTitle(state.window, cp1252ToUtf8(windowTitle()).c_str());
}

void pollEvents(int timeoutMs, bool keyWanted) {
  SDL_Event event;
  if (timeoutMs > 0 && SDL_WaitEventTimeout(&event, timeoutMs)) handleEvent(event);
  while (SDL_PollEvent(&event)) handleEvent(event);
  drawWindow();
}

void nothing() {}

void copyOut(std::string_view text) { SDL_SetClipboardText(cp1252ToUtf8(text).c_str()); }

bool pasteIn(std::string& text, size_t limit) {
  if (!SDL_HasClipboardText()) return false;
  char* utf8 = SDL_GetClipboardText();
  if (!utf8) return false;
  text = utf8ToCp1252(utf8);
  SDL_free(utf8);
  if (text.size() > limit) text.resize(limit);
  return true;
}

void setMinimized(bool minimized) {
  if (!state.window) return;
  if (minimized) {
    SDL_MinimizeWindow(state.window);
    return;
  }
  SDL_RestoreWindow(state.window);
  SDL_RaiseWindow(state.window);
}

// The cursor at once; another font face is opened for the cells as they
// are (one that cannot be opened leaves the old); other cell sizes resize a
// window that is not maximized (a maximized one keeps filling the screen).
void videoSettingsChanged() {
  readCaretSettings();
  std::string file = fontFileFor(videoSetting("FONTE"));
  int size = 0;
  TTF_Font* font = file.empty() || file == state.fontFile ? nullptr
                                                          : openFontForCell(file, state.cellHeight, size);
  if (font) {
    TTF_CloseFont(state.font);
    state.font = font;
    state.fontFile = file;
    state.fontSize = size;
    state.bandZoom = 0;
    state.redrawAll = true;
  }
  if (SDL_GetWindowFlags(state.window) & SDL_WINDOW_MAXIMIZED) return;
  int width = 0, height = 0;
  chooseCellSize(width, height);
  SDL_SetWindowSize(state.window, kColumns * width, kRows * height);
}

const FrontEnd kWindow = {refresh, bell,    titleChanged, nullptr, pollEvents, nothing,
                          nothing, nothing, nullptr,      copyOut, pasteIn,    setMinimized,
                          videoSettingsChanged};

}  // namespace

WindowState& windowState() { return state; }

// The window's size in pixels (more than its size in points on a high-DPI
// screen) divided among the cells; when the font or canvas for the new size
// cannot be made, the cells keep their size.
void fitCellsToWindow() {
  int width = 0, height = 0;
  SDL_GetWindowSizeInPixels(state.window, &width, &height);
  int cellWidth = std::max(width / kColumns, kMinCellWidth);
  int cellHeight = std::max(height / kRows, kMinCellHeight);
  if (cellWidth == state.cellWidth && cellHeight == state.cellHeight) return;
  int size = 0;
  TTF_Font* font = openFontForCell(state.fontFile, cellHeight, size);
  SDL_Surface* canvas = font ? newCanvas(cellWidth, cellHeight) : nullptr;
  if (!canvas) {
    if (font) TTF_CloseFont(font);
    return;
  }
  TTF_CloseFont(state.font);
  SDL_FreeSurface(state.canvas);
  state.font = font;
  state.fontSize = size;
  state.canvas = canvas;
  state.cellWidth = cellWidth;
  state.cellHeight = cellHeight;
  state.bandZoom = 0;   // the band's font follows the new size
  state.redrawAll = true;
}

const FrontEnd* openWindowFrontEnd(std::string& reason) {
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    reason = SDL_GetError();
    return nullptr;
  }
  if (TTF_Init() != 0) {
    reason = TTF_GetError();
    closeWindow();
    return nullptr;
  }
  if (!openFont(reason) || !createWindow(reason)) {
    closeWindow();
    return nullptr;
  }
  return &kWindow;
}

}  // namespace varlo
