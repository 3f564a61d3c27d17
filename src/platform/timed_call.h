// Work that may block on another process (a display server, the
// accessibility bus) run on a helper thread and waited for a limited time.
#pragma once

#include <functional>

namespace varlo {

// Runs work on a helper thread and waits at most limitMs for it. True when it
// finished in time. Otherwise the thread is left to finish on its own, so work
// must own (by value or shared pointer) everything it touches.
bool runWithin(int limitMs, std::function<void()> work);

}  // namespace varlo
