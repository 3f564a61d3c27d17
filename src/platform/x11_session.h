// The one X11 connection of the desktop files (x11_*.cpp) and the session
// each operation on it runs in: X errors are counted instead of ending the
// program, and a watchdog shuts the connection down when the server stops
// answering, which turns a hang into a lost connection.
#pragma once

#include <X11/Xlib.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace varlo {

// Module state: the connection and what the current session saw.
struct X11State {
  Display* display = nullptr;
  bool ioFailed = false;
  int protocolErrors = 0;
  // Round trips that came back; a long typing keeps its session alive by them.
  std::atomic<unsigned> progress{0};
};
extern X11State x11;

class X11Session {
 public:
  X11Session();
  ~X11Session();
  X11Session(const X11Session&) = delete;
  X11Session& operator=(const X11Session&) = delete;

  // False once the connection is gone (or was never there).
  bool ok() const { return x11.display && !x11.ioFailed; }

 private:
  void watch(int fd);

  XErrorHandler previous_;
  XIOErrorHandler previousIo_;
  std::mutex lock_;
  std::condition_variable wake_;
  bool finished_ = false;
  std::thread watchdog_;
};

Atom atom(const char* name);
Window rootWindow();
// A property as raw items (longs for format 32); empty when absent or of
// another type or format.
std::vector<unsigned char> property(Window window, const char* name, Atom type, int format,
                                    unsigned long* items);
// The window that has the keyboard, 0 when none (inside a session).
Window currentActiveWindow();

}  // namespace varlo
