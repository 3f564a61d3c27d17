// The X11 desktop through Xlib and libxdo. One connection is kept open; each
// operation runs inside a Session that quiets X errors (a window may close
// while it is being acted on) and cuts the connection when the server takes
// too long, which turns a hang into an I/O error.
#include "platform/desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <sys/socket.h>

extern "C" {
#include <xdo.h>
}

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <unistd.h>

#include "base/codepage.h"
#include "platform/timed_call.h"

namespace varlo {

namespace {

constexpr int kOpenLimitMs = 3000;
constexpr int kCallLimitMs = 3000;
constexpr useconds_t kKeyDelayUs = 12000;
constexpr useconds_t kClickDelayUs = 80000;
// Clients read a changed keyboard map a little after it changes, and may
// still translate typed keys after the typing ends.
constexpr useconds_t kKeymapSettleUs = 60000;
constexpr useconds_t kKeymapKeepUs = 250000;
// How long an activated window may take to get the keyboard.
constexpr int kActivationLimitMs = 1500;
constexpr useconds_t kActivationPollUs = 20000;
constexpr long kMaxTitleBytes = 64 * 1024;

// Module state: the connection and what the current session saw.
struct DesktopState {
  Display* display = nullptr;
  xdo_t* xdo = nullptr;
  bool ioFailed = false;
  int protocolErrors = 0;
  // Round trips that came back; a long typing keeps its session alive by them.
  std::atomic<unsigned> progress{0};
};
DesktopState desktop;

bool variableSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

int countProtocolError(Display*, XErrorEvent*) {
  ++desktop.protocolErrors;
  return 0;
}

int quietIoError(Display*) { return 0; }

void noteLostConnection(Display*, void*) { desktop.ioFailed = true; }

void forgetConnection() {
  desktop.display = nullptr;
  desktop.xdo = nullptr;
  desktop.ioFailed = false;
}

void dropConnection() {
  // After an I/O error the connection is dead; closing it would only write
  // to it again, so it is left behind.
  if (desktop.xdo) {
    desktop.xdo->xdpy = nullptr;
    desktop.xdo->close_display_when_freed = 0;
    xdo_free(desktop.xdo);
  }
  forgetConnection();
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

// One operation on the display: X errors are counted instead of ending the
// program, and a watchdog shuts the socket down when the server is too slow.
class Session {
 public:
  Session() : previous_(XSetErrorHandler(countProtocolError)),
              previousIo_(XSetIOErrorHandler(quietIoError)) {
    desktop.protocolErrors = 0;
    if (desktop.display) watchdog_ = std::thread(&Session::watch, this, ConnectionNumber(desktop.display));
  }
  ~Session() {
    if (watchdog_.joinable()) {
      if (!desktop.ioFailed) XSync(desktop.display, False);
      {
        std::lock_guard<std::mutex> hold(lock_);
        finished_ = true;
      }
      wake_.notify_all();
      watchdog_.join();
    }
    XSetErrorHandler(previous_);
    XSetIOErrorHandler(previousIo_);
    if (desktop.ioFailed) dropConnection();
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  bool ok() const { return desktop.display && !desktop.ioFailed; }

 private:
  void watch(int fd) {
    std::unique_lock<std::mutex> hold(lock_);
    unsigned seen = desktop.progress;
    while (!wake_.wait_for(hold, std::chrono::milliseconds(kCallLimitMs), [this] { return finished_; })) {
      if (desktop.progress == seen) {
        shutdown(fd, SHUT_RDWR);
        return;
      }
      seen = desktop.progress;
    }
  }

  XErrorHandler previous_;
  XIOErrorHandler previousIo_;
  std::mutex lock_;
  std::condition_variable wake_;
  bool finished_ = false;
  std::thread watchdog_;
};

Atom atom(const char* name) { return XInternAtom(desktop.display, name, False); }
Window root() { return DefaultRootWindow(desktop.display); }

// A property as raw items; empty when absent or of another format.
std::vector<unsigned char> property(Window window, const char* name, Atom type, int format,
                                    unsigned long* items) {
  Atom actualType = None;
  int actualFormat = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  *items = 0;
  int status = XGetWindowProperty(desktop.display, window, atom(name), 0, kMaxTitleBytes / 4, False,
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

std::vector<Window> windowList(Window window, const char* name) {
  unsigned long count = 0;
  std::vector<unsigned char> bytes = property(window, name, XA_WINDOW, 32, &count);
  std::vector<Window> list(count);
  if (count) std::memcpy(list.data(), bytes.data(), count * sizeof(long));
  return list;
}

bool hasEwmh() {
  unsigned long count = 0;
  property(root(), "_NET_SUPPORTED", XA_ATOM, 32, &count);
  return count > 0;
}

std::string latin1ToUtf8(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x80) {
      out += char(c);
    } else {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string titleOf(Window window) {
  unsigned long count = 0;
  std::vector<unsigned char> name = property(window, "_NET_WM_NAME", atom("UTF8_STRING"), 8, &count);
  if (count) return std::string(name.begin(), name.end());
  name = property(window, "WM_NAME", XA_STRING, 8, &count);
  return latin1ToUtf8(std::string(name.begin(), name.end()));
}

bool viewableOrIconic(Window window) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(desktop.display, window, &attributes)) return false;
  if (attributes.map_state == IsViewable) return true;
  unsigned long count = 0;
  std::vector<unsigned char> state = property(window, "WM_STATE", atom("WM_STATE"), 32, &count);
  long first = 0;
  if (count) std::memcpy(&first, state.data(), sizeof(long));
  return count && first == IconicState;
}

// Bottom to top: the window manager's stacking list, or the root's children.
std::vector<Window> stackingOrder() {
  std::vector<Window> list = windowList(root(), "_NET_CLIENT_LIST_STACKING");
  if (!list.empty()) return list;
  Window rootReturn = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (XQueryTree(desktop.display, root(), &rootReturn, &parent, &children, &count) && children) {
    list.assign(children, children + count);
    XFree(children);
  }
  return list;
}

void sendClientMessage(Window target, Window about, const char* type, std::initializer_list<long> data) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = about;
  event.xclient.message_type = atom(type);
  event.xclient.format = 32;
  int i = 0;
  for (long value : data) event.xclient.data.l[i++] = value;
  long mask = target == root() ? SubstructureRedirectMask | SubstructureNotifyMask : NoEventMask;
  XSendEvent(desktop.display, target, False, mask, &event);
}

void closeWindow(Window window) {
  if (hasEwmh()) {
    sendClientMessage(root(), window, "_NET_CLOSE_WINDOW", {CurrentTime, 2});
    return;
  }
  sendClientMessage(window, window, "WM_PROTOCOLS", {long(atom("WM_DELETE_WINDOW")), CurrentTime});
}

void setMaximized(Window window, bool maximized) {
  constexpr long kRemove = 0, kAdd = 1;
  sendClientMessage(root(), window, "_NET_WM_STATE",
                    {maximized ? kAdd : kRemove, long(atom("_NET_WM_STATE_MAXIMIZED_VERT")),
                     long(atom("_NET_WM_STATE_MAXIMIZED_HORZ")), 2});
}

void activate(Window window) {
  if (!hasEwmh() || xdo_activate_window(desktop.xdo, window) != XDO_SUCCESS) {
    XMapRaised(desktop.display, window);
    XSetInputFocus(desktop.display, window, RevertToParent, CurrentTime);
  }
}


// Typing: every character is a keysym pressed through XTest. Keysyms the
// keyboard map lacks (accented capitals, symbols) are bound for the time of
// the typing to keycodes nobody uses, each to its own, and the map is put
// back afterwards; a batch at a time when spare keycodes are few.
KeySym keysymOf(char32_t code) {
  if (code == '\n') return XK_Return;
  if (code == '\t') return XK_Tab;
  if (code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0)) return NoSymbol;
  return code < 0x100 ? KeySym(code) : KeySym(0x1000000 | code);
}

std::vector<KeySym> keysymsOf(std::string_view utf8) {
  std::vector<KeySym> keys;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char lead = static_cast<unsigned char>(utf8[i]);
    int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (int k = 1; k < length && i + size_t(k) < utf8.size(); ++k)
      code = (code << 6) | (static_cast<unsigned char>(utf8[i + size_t(k)]) & 0x3F);
    i += size_t(length);
    if (KeySym key = keysymOf(code); key != NoSymbol) keys.push_back(key);
  }
  return keys;
}

struct KeyStroke {
  KeyCode code = 0;
  bool shifted = false;
};

struct Keymap {
  int first = 0, count = 0, perCode = 0;
  std::vector<KeySym> symbols;   // count * perCode
  KeySym at(int code, int level) const { return symbols[size_t((code - first) * perCode + level)]; }
};

Keymap readKeymap() {
  Keymap map;
  int last = 0;
  XDisplayKeycodes(desktop.display, &map.first, &last);
  map.count = last - map.first + 1;
  KeySym* symbols = XGetKeyboardMapping(desktop.display, KeyCode(map.first), map.count, &map.perCode);
  if (symbols) {
    map.symbols.assign(symbols, symbols + map.count * map.perCode);
    XFree(symbols);
  }
  if (map.perCode < 2) map.symbols.clear();
  return map;
}

std::optional<KeyStroke> strokeFor(const Keymap& map, KeySym key) {
  if (map.symbols.empty()) return std::nullopt;
  for (int code = map.first; code < map.first + map.count; ++code) {
    for (int level = 0; level < 2; ++level) {
      if (map.at(code, level) == key) return KeyStroke{KeyCode(code), level == 1};
    }
  }
  return std::nullopt;
}

std::vector<KeyCode> spareKeycodes(const Keymap& map) {
  std::vector<KeyCode> spare;
  for (int code = map.first + map.count - 1; code >= map.first && !map.symbols.empty(); --code) {
    bool empty = true;
    for (int level = 0; level < map.perCode && empty; ++level) empty = map.at(code, level) == NoSymbol;
    if (empty) spare.push_back(KeyCode(code));
  }
  return spare;
}

void bindKeycode(KeyCode code, KeySym key) {
  KeySym both[2] = {key, key};
  XChangeKeyboardMapping(desktop.display, code, 2, both, 1);
}

void strike(const KeyStroke& stroke, KeyCode shift) {
  if (stroke.shifted && shift) XTestFakeKeyEvent(desktop.display, shift, True, CurrentTime);
  XTestFakeKeyEvent(desktop.display, stroke.code, True, CurrentTime);
  XTestFakeKeyEvent(desktop.display, stroke.code, False, CurrentTime);
  if (stroke.shifted && shift) XTestFakeKeyEvent(desktop.display, shift, False, CurrentTime);
  XSync(desktop.display, False);
  ++desktop.progress;
  usleep(kKeyDelayUs);
}

// Types keys[from ...] until a key needs a binding for which no spare
// keycode is left; answers where it stopped.
size_t typeBatch(const std::vector<KeySym>& keys, size_t from) {
  Keymap map = readKeymap();
  std::vector<KeyCode> spare = spareKeycodes(map);
  KeyCode shift = XKeysymToKeycode(desktop.display, XK_Shift_L);
  std::vector<std::pair<KeySym, KeyCode>> bound;
  std::vector<KeyStroke> strokes;
  size_t end = from;
  for (; end < keys.size(); ++end) {
    std::optional<KeyStroke> stroke = strokeFor(map, keys[end]);
    for (const auto& [key, code] : bound) {
      if (!stroke && key == keys[end]) stroke = KeyStroke{code, false};
    }
    if (!stroke && !spare.empty()) {
      stroke = KeyStroke{spare.back(), false};
      bound.emplace_back(keys[end], spare.back());
      bindKeycode(spare.back(), keys[end]);
      spare.pop_back();
    }
    if (!stroke) break;
    strokes.push_back(*stroke);
  }
  if (!bound.empty()) {
    XSync(desktop.display, False);
    usleep(kKeymapSettleUs);
  }
  for (const KeyStroke& stroke : strokes) {
    if (desktop.ioFailed) break;
    strike(stroke, shift);
  }
  if (!bound.empty()) {
    usleep(kKeymapKeepUs);
    for (const auto& [key, code] : bound) bindKeycode(code, NoSymbol);
    XSync(desktop.display, False);
  }
  return end == from ? keys.size() : end;   // nothing typable: give up
}

Window currentActiveWindow() {
  Window window = 0;
  if (xdo_get_active_window(desktop.xdo, &window) != XDO_SUCCESS || !window) {
    int revert = 0;
    XGetInputFocus(desktop.display, &window, &revert);
    if (window == PointerRoot) window = 0;
  }
  return window;
}

// Scripts go on typing into the window they brought forward, so the
// activation is over only when the window has the keyboard.
bool becameActive(Window window) {
  for (int waited = 0; waited < kActivationLimitMs * 1000; waited += int(kActivationPollUs)) {
    if (currentActiveWindow() == window) return true;
    if (desktop.ioFailed) return false;
    ++desktop.progress;
    usleep(kActivationPollUs);
  }
  return false;
}

}  // namespace

DesktopReach reachDesktop() {
  const char* session = std::getenv("XDG_SESSION_TYPE");
  if (session && std::strcmp(session, "wayland") == 0) return DesktopReach::wayland;
  if (!variableSet("DISPLAY")) return variableSet("WAYLAND_DISPLAY") ? DesktopReach::wayland : DesktopReach::noDisplay;
  if (desktop.display) return DesktopReach::ready;
  Display* display = openDisplayWithin(kOpenLimitMs);
  if (!display) return DesktopReach::noAnswer;
  desktop.display = display;
  XSetIOErrorExitHandler(display, noteLostConnection, nullptr);
  desktop.xdo = xdo_new_with_opened_display(display, nullptr, 1);
  if (!desktop.xdo) {
    XCloseDisplay(display);
    forgetConnection();
    return DesktopReach::noAnswer;
  }
  desktop.xdo->quiet = 1;
  return DesktopReach::ready;
}

std::vector<DesktopWindow> desktopWindows() {
  std::vector<DesktopWindow> found;
  Session session;
  if (!session.ok()) return found;
  std::vector<Window> order = stackingOrder();
  for (auto it = order.rbegin(); it != order.rend() && session.ok(); ++it) {
    std::string title = titleOf(*it);
    if (!title.empty() && viewableOrIconic(*it)) found.push_back({*it, std::move(title)});
  }
  if (!session.ok()) found.clear();
  return found;
}

WindowId activeWindow() {
  Session session;
  if (!session.ok()) return 0;
  Window window = currentActiveWindow();
  return session.ok() ? window : 0;
}

std::string windowTitle(WindowId window) {
  Session session;
  if (!session.ok() || !window) return std::string();
  std::string title = titleOf(window);
  return session.ok() ? title : std::string();
}

bool actOnWindow(WindowId window, WindowAction action) {
  Session session;
  if (!session.ok()) return false;
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(desktop.display, window, &attributes)) return false;
  switch (action) {
    case WindowAction::close: closeWindow(window); break;
    case WindowAction::minimize: xdo_minimize_window(desktop.xdo, window); break;
    case WindowAction::normal:
    case WindowAction::maximize:
      setMaximized(window, action == WindowAction::maximize);
      activate(window);
      XSync(desktop.display, False);
      return session.ok() && desktop.protocolErrors == 0 && becameActive(window);
  }
  XSync(desktop.display, False);
  return session.ok() && desktop.protocolErrors == 0;
}

bool pressKeys(const std::string& sequence) {
  Session session;
  if (!session.ok() || sequence.empty()) return false;
  int status = xdo_send_keysequence_window(desktop.xdo, CURRENTWINDOW, sequence.c_str(), kKeyDelayUs);
  return session.ok() && status == XDO_SUCCESS;
}

bool typeText(std::string_view utf8) {
  Session session;
  int event = 0, error = 0, major = 0, minor = 0;
  if (!session.ok() || !XTestQueryExtension(desktop.display, &event, &error, &major, &minor)) return false;
  std::vector<KeySym> keys = keysymsOf(utf8);
  for (size_t done = 0; done < keys.size() && session.ok();) done = typeBatch(keys, done);
  return session.ok() && desktop.protocolErrors == 0;
}

std::optional<ScreenPoint> activeWindowOrigin() {
  WindowId window = activeWindow();
  Session session;
  if (!session.ok() || !window) return std::nullopt;
  int x = 0, y = 0;
  Window child = 0;
  if (!XTranslateCoordinates(desktop.display, window, root(), 0, 0, &x, &y, &child) || !session.ok())
    return std::nullopt;
  return ScreenPoint{x, y};
}

bool onScreen(ScreenPoint point) {
  Session session;
  if (!session.ok()) return false;
  int screen = DefaultScreen(desktop.display);
  return point.x >= 0 && point.y >= 0 && point.x < DisplayWidth(desktop.display, screen) &&
         point.y < DisplayHeight(desktop.display, screen);
}

std::optional<ScreenPoint> mousePosition() {
  Session session;
  if (!session.ok()) return std::nullopt;
  int x = 0, y = 0, screen = 0;
  if (xdo_get_mouse_location(desktop.xdo, &x, &y, &screen) != XDO_SUCCESS || !session.ok())
    return std::nullopt;
  return ScreenPoint{x, y};
}

bool clickAt(ScreenPoint point, int button, int count) {
  Session session;
  if (!session.ok()) return false;
  int status = xdo_move_mouse(desktop.xdo, point.x, point.y, DefaultScreen(desktop.display));
  if (status == XDO_SUCCESS && count > 0)
    status = xdo_click_window_multiple(desktop.xdo, CURRENTWINDOW, button, count, kClickDelayUs);
  return session.ok() && status == XDO_SUCCESS;
}

}  // namespace varlo
