// Top-level windows through the window manager's EWMH hints (with plain
// X11 where there is no such window manager): the list in stacking order
// with titles, and closing, restoring, maximising, minimising.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstring>

#include "platform/desktop.h"
#include "platform/x11_session.h"

namespace varlo {

namespace {

// How long the window manager may take to activate or minimise a window.
constexpr int kActionLimitMs = 3000;
constexpr useconds_t kActionPollUs = 20000;
// A request still not carried out is sent again this often: a window
// manager busy taking the window on a loaded machine may drop the first.
constexpr int kResendPolls = 25;

std::vector<Window> windowList(Window window, const char* name) {
  unsigned long count = 0;
  std::vector<unsigned char> bytes = property(window, name, XA_WINDOW, 32, &count);
  std::vector<Window> list(count);
  if (count) std::memcpy(list.data(), bytes.data(), count * sizeof(long));
  return list;
}

bool hasEwmh() {
  unsigned long count = 0;
  property(rootWindow(), "_NET_SUPPORTED", XA_ATOM, 32, &count);
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

bool iconic(Window window) {
  unsigned long count = 0;
  std::vector<unsigned char> state = property(window, "WM_STATE", atom("WM_STATE"), 32, &count);
  long first = 0;
  if (count) std::memcpy(&first, state.data(), sizeof(long));
  return count && first == IconicState;
}

bool viewableOrIconic(Window window) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(x11.display, window, &attributes)) return false;
  return attributes.map_state == IsViewable || iconic(window);
}

// Bottom to top: the window manager's stacking list, or the root's children.
std::vector<Window> stackingOrder() {
  std::vector<Window> list = windowList(rootWindow(), "_NET_CLIENT_LIST_STACKING");
  if (!list.empty()) return list;
  Window rootReturn = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (XQueryTree(x11.display, rootWindow(), &rootReturn, &parent, &children, &count) && children) {
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
  long mask = target == rootWindow() ? SubstructureRedirectMask | SubstructureNotifyMask : NoEventMask;
  XSendEvent(x11.display, target, False, mask, &event);
}

void closeWindow(Window window) {
  if (hasEwmh()) {
    sendClientMessage(rootWindow(), window, "_NET_CLOSE_WINDOW", {CurrentTime, 2});
    return;
  }
  sendClientMessage(window, window, "WM_PROTOCOLS", {long(atom("WM_DELETE_WINDOW")), CurrentTime});
}

void setMaximized(Window window, bool maximized) {
  constexpr long kRemove = 0, kAdd = 1;
  sendClientMessage(rootWindow(), window, "_NET_WM_STATE",
                    {maximized ? kAdd : kRemove, long(atom("_NET_WM_STATE_MAXIMIZED_VERT")),
                     long(atom("_NET_WM_STATE_MAXIMIZED_HORZ")), 2});
}

// The window manager raises, restores and focuses a window it is asked to
// activate (as a pager would ask); without one it is done here.
void activate(Window window) {
  if (hasEwmh()) {
    constexpr long kFromPager = 2;
    sendClientMessage(rootWindow(), window, "_NET_ACTIVE_WINDOW",
                      {kFromPager, CurrentTime, long(currentActiveWindow())});
    return;
  }
  XMapRaised(x11.display, window);
  XSetInputFocus(x11.display, window, RevertToParent, CurrentTime);
}

// Scripts go on typing into the window they brought forward, so the
// activation is over only when the window has the keyboard; a minimised
// window, when the window manager says so. Without a window manager that
// does it, it never is, and the script hears of it.
bool becomes(Window window, bool (*done)(Window), void (*request)(Window)) {
  int polls = 0;
  for (int waited = 0; waited < kActionLimitMs * 1000; waited += int(kActionPollUs)) {
    if (done(window)) return true;
    if (x11.ioFailed) return false;
    ++x11.progress;
    usleep(kActionPollUs);
    if (++polls % kResendPolls == 0) {
      request(window);
      XFlush(x11.display);
    }
  }
  return false;
}

void minimize(Window window) { XIconifyWindow(x11.display, window, DefaultScreen(x11.display)); }

bool active(Window window) { return currentActiveWindow() == window; }

}  // namespace

std::vector<DesktopWindow> desktopWindows() {
  std::vector<DesktopWindow> found;
  X11Session session;
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
  X11Session session;
  if (!session.ok()) return 0;
  Window window = currentActiveWindow();
  return session.ok() ? window : 0;
}

std::string windowTitle(WindowId window) {
  X11Session session;
  if (!session.ok() || !window) return std::string();
  std::string title = titleOf(window);
  return session.ok() ? title : std::string();
}

bool actOnWindow(WindowId window, WindowAction action) {
  X11Session session;
  if (!session.ok()) return false;
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(x11.display, window, &attributes)) return false;
  bool (*done)(Window) = nullptr;   // how to tell the action is over
  switch (action) {
    case WindowAction::close: closeWindow(window); break;
    case WindowAction::minimize:
      minimize(window);
      done = iconic;
      break;
    case WindowAction::normal:
    case WindowAction::maximize:
      setMaximized(window, action == WindowAction::maximize);
      activate(window);
      done = active;
      break;
  }
  XSync(x11.display, False);
  bool sent = session.ok() && x11.protocolErrors == 0;
  return sent && (!done || becomes(window, done, done == iconic ? minimize : activate));
}

}  // namespace varlo
