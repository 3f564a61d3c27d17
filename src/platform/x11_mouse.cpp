// The mouse: where it is, and clicks at a point of the screen.
#include <unistd.h>

extern "C" {
#include <xdo.h>
}

#include "platform/desktop.h"
#include "platform/x11_session.h"

namespace varlo {

namespace {

constexpr useconds_t kClickDelayUs = 80000;

}  // namespace

std::optional<ScreenPoint> activeWindowOrigin() {
  X11Session session;
  Window window = session.ok() ? currentActiveWindow() : 0;
  int x = 0, y = 0;
  Window child = 0;
  if (!window || !XTranslateCoordinates(x11.display, window, rootWindow(), 0, 0, &x, &y, &child) ||
      !session.ok())
    return std::nullopt;
  return ScreenPoint{x, y};
}

bool onScreen(ScreenPoint point) {
  X11Session session;
  if (!session.ok()) return false;
  int screen = DefaultScreen(x11.display);
  return point.x >= 0 && point.y >= 0 && point.x < DisplayWidth(x11.display, screen) &&
         point.y < DisplayHeight(x11.display, screen);
}

std::optional<ScreenPoint> mousePosition() {
  X11Session session;
  if (!session.ok()) return std::nullopt;
  int x = 0, y = 0, screen = 0;
  if (xdo_get_mouse_location(x11.xdo, &x, &y, &screen) != XDO_SUCCESS || !session.ok())
    return std::nullopt;
  return ScreenPoint{x, y};
}

bool clickAt(ScreenPoint point, int button, int count) {
  X11Session session;
  if (!session.ok()) return false;
  int status = xdo_move_mouse(x11.xdo, point.x, point.y, DefaultScreen(x11.display));
  if (status == XDO_SUCCESS && count > 0)
    status = xdo_click_window_multiple(x11.xdo, CURRENTWINDOW, button, count, kClickDelayUs);
  return session.ok() && status == XDO_SUCCESS;
}

}  // namespace varlo
