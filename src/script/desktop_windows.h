// Other programs' windows as scripts see them: titles matched the way the
// language matches them, why the desktop or its accessibility bus cannot be
// reached (said once per command), and the wait for a window to come to the
// front.
#pragma once

#include <cstdint>
#include <string_view>

namespace varlo {

// Both Windows-1252, compared in upper case. The title contains the pattern;
// a '*' opening the pattern asks the title to begin with the rest, a '*'
// closing it asks the title to end with the rest.
bool titleMatches(std::string_view title, std::string_view pattern);

// True when the desktop's windows, keys and mouse can be reached. Otherwise
// says why, sets the I/O status to 1 and returns false.
bool desktopReachable();

// The same for the accessibility bus (focus, accessibility events).
bool accessibilityReachable();

// Waits up to `seconds`, looking every 500 ms, for a foreground window whose
// title contains `title` (Windows-1252, compared in upper case). Sets the I/O
// status to 0 when one came, 1 on time-out or when there is no desktop (after
// saying why), and returns whether one came.
bool waitForWindowTitle(int32_t seconds, std::string_view title);

}  // namespace varlo
