// The X11 connection: opened on first use within a time limit, kept open,
// dropped when it is lost; and the session that guards every operation.
#include "platform/x11_session.h"

#include <X11/Xatom.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/desktop.h"
#include "platform/timed_call.h"

namespace varlo {

X11State x11;

namespace {

constexpr int kOpenLimitMs = 3000;
constexpr int kCallLimitMs = 3000;
constexpr long kMaxPropertyBytes = 64 * 1024;

bool variableSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

int countProtocolError(Display*, XErrorEvent*) {
  ++x11.protocolErrors;
  return 0;
}

int quietIoError(Display*) { return 0; }

void noteLostConnection(Display*, void*) { x11.ioFailed = true; }

// After an I/O error the connection is dead; closing it would only write to
// it again, so it is left behind.
void dropConnection() {
  x11.display = nullptr;
  x11.ioFailed = false;
}

// Opening waits for the server's greeting, which a stuck server never sends.
Display* openDisplayWithin(int limitMs) {
  auto opened = std::make_shared<Display*>(nullptr);
  auto abandoned = std::make_shared<bool>(false);
  auto guard = std::make_shared<std::mutex>();
  bool inTime = runWithin(limitMs, [opened, abandoned, guard] {
    Display* display = XOpenDisplay(nullptr);
    std::lock_guard<std::mutex> hold(*guard);
    if (*abandoned) return;   // too late: nobody will use it
    *opened = display;
  });
  std::lock_guard<std::mutex> hold(*guard);
  if (!inTime) *abandoned = true;
  return inTime ? *opened : nullptr;
}

}  // namespace

X11Session::X11Session()
    : previous_(XSetErrorHandler(countProtocolError)), previousIo_(XSetIOErrorHandler(quietIoError)) {
  x11.protocolErrors = 0;
  if (x11.display) watchdog_ = std::thread(&X11Session::watch, this, ConnectionNumber(x11.display));
}

X11Session::~X11Session() {
  if (watchdog_.joinable()) {
    if (!x11.ioFailed) XSync(x11.display, False);
    {
      std::lock_guard<std::mutex> hold(lock_);
      finished_ = true;
    }
    wake_.notify_all();
    watchdog_.join();
  }
  XSetErrorHandler(previous_);
  XSetIOErrorHandler(previousIo_);
  if (x11.ioFailed) dropConnection();
}

void X11Session::watch(int fd) {
  std::unique_lock<std::mutex> hold(lock_);
  unsigned seen = x11.progress;
  while (!wake_.wait_for(hold, std::chrono::milliseconds(kCallLimitMs), [this] { return finished_; })) {
    if (x11.progress == seen) {
      shutdown(fd, SHUT_RDWR);
      return;
    }
    seen = x11.progress;
  }
}

Atom atom(const char* name) { return XInternAtom(x11.display, name, False); }

Window rootWindow() { return DefaultRootWindow(x11.display); }

std::vector<unsigned char> property(Window window, const char* name, Atom type, int format,
                                    unsigned long* items) {
  Atom actualType = None;
  int actualFormat = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  *items = 0;
  int status = XGetWindowProperty(x11.display, window, atom(name), 0, kMaxPropertyBytes / 4, False,
                                  type, &actualType, &actualFormat, &count, &after, &data);
  std::vector<unsigned char> bytes;
  if (status == Success && data && actualFormat == format) {
    size_t unit = format == 32 ? sizeof(long) : size_t(format / 8);
    bytes.assign(data, data + count * unit);
    *items = count;
  }
  if (data) XFree(data);
  return bytes;
}

Window currentActiveWindow() {
  unsigned long count = 0;
  std::vector<unsigned char> active = property(rootWindow(), "_NET_ACTIVE_WINDOW", XA_WINDOW, 32, &count);
  Window window = 0;
  if (count) {
    std::memcpy(&window, active.data(), sizeof window);
    return window;
  }
  int revert = 0;
  XGetInputFocus(x11.display, &window, &revert);
  return window == PointerRoot || window == None ? 0 : window;
}

DesktopReach reachDesktop() {
  const char* session = std::getenv("XDG_SESSION_TYPE");
  if (session && std::strcmp(session, "wayland") == 0) return DesktopReach::wayland;
  if (!variableSet("DISPLAY")) return variableSet("WAYLAND_DISPLAY") ? DesktopReach::wayland : DesktopReach::noDisplay;
  if (x11.display) return DesktopReach::ready;
  Display* display = openDisplayWithin(kOpenLimitMs);
  if (!display) return DesktopReach::noAnswer;
  x11.display = display;
  XSetIOErrorExitHandler(display, noteLostConnection, nullptr);
  return DesktopReach::ready;
}

}  // namespace varlo
