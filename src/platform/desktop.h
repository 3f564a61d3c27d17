// Other programs' windows, keys and mouse on the X11 desktop: the window
// list and actions through the window manager's EWMH hints, key and mouse
// injection through the XTest extension. Every call is limited in time, so
// a display server that stops answering never holds the program.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varlo {

// Why the desktop cannot be reached, or ready.
enum class DesktopReach { ready, noDisplay, wayland, noAnswer };
// Opens the connection on first use (and again after a lost one).
DesktopReach reachDesktop();

using WindowId = unsigned long;
struct DesktopWindow {
  WindowId id;
  std::string title;   // UTF-8
};
// Top-level windows that are shown or minimised and have a title, topmost first.
std::vector<DesktopWindow> desktopWindows();
// The window that has the keyboard (0 when none) and a window's title.
WindowId activeWindow();
std::string windowTitle(WindowId window);

enum class WindowAction { close, normal, maximize, minimize };
// Close politely (the program may ask first), show normal or maximised and
// activate, or minimise. False when the window is gone or nothing answered.
bool actOnWindow(WindowId window, WindowAction action);

// A key of the script's names (UP, ESC, F5, PAGEDN, a single character ...)
// with CTRL+, SHIFT+ and ALT+ prefixes, as modifiers and an X keysym name
// joined by "+" ("ctrl+Next").
// Empty when a name is unknown or missing. Names are Windows-1252, any case.
std::string keySequenceFor(std::string_view name);
// Presses and releases a sequence from keySequenceFor in the active window.
bool pressKeys(const std::string& sequence);
// Types UTF-8 text into the active window, key by key.
bool typeText(std::string_view utf8);

struct ScreenPoint {
  int x, y;
};
// The active window's top-left corner on the screen.
std::optional<ScreenPoint> activeWindowOrigin();
bool onScreen(ScreenPoint point);
std::optional<ScreenPoint> mousePosition();
// Moves the mouse there and clicks `count` times (none: only moves it).
bool clickAt(ScreenPoint point, int button, int count);

}  // namespace varlo
