// The mouse: where it is, and clicks (through XTest) at a point of the screen.
#include <X11/extensions/XTest.h>
#include <unistd.h>

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
  Window rootReturn = 0, child = 0;
  int x = 0, y = 0, windowX = 0, windowY = 0;
  unsigned buttons = 0;
  if (!XQueryPointer(x11.display, rootWindow(), &rootReturn, &child, &x, &y, &windowX, &windowY, &buttons) ||
      !session.ok())
    return std::nullopt;
  return ScreenPoint{x, y};
}

bool clickAt(ScreenPoint point, int button, int count) {
  X11Session session;
  if (!session.ok()) return false;
  XTestFakeMotionEvent(x11.display, DefaultScreen(x11.display), point.x, point.y, CurrentTime);
  XSync(x11.display, False);
  for (int i = 0; i < count && session.ok(); ++i) {
    if (i > 0) usleep(kClickDelayUs);
    XTestFakeButtonEvent(x11.display, unsigned(button), True, CurrentTime);
    XTestFakeButtonEvent(x11.display, unsigned(button), False, CurrentTime);
    XSync(x11.display, False);
  }
  return session.ok() && x11.protocolErrors == 0;
}

}  // namespace varlo
