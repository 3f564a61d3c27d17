// The desktop's accessibility tree and events through AT-SPI 2, the bus
// Linux screen readers use: which control has the focus, and the focus and
// value changes of other programs as they happen. Every call on the bus is
// limited in time; events are kept one at a time (the latest), so a flood of
// them never grows memory.
#pragma once

#include <optional>
#include <string>

namespace varlo {

enum class AccessibilityReach { ready, noBus, noAnswer };
// Connects on first use.
AccessibilityReach reachAccessibility();

// Starts and stops listening to focus and value changes; starting again
// forgets the last event.
bool startAccessibilityEvents();
void stopAccessibilityEvents();
// Whether an event arrived since the last time this was asked.
bool newAccessibilityEvent();

// What the last event's object tells (as texts; the role code is AT-SPI's
// role number, the area "x y width height" on the screen, the states their
// AT-SPI names separated by blanks). None when there was no event or the
// object went away.
enum class AccessibleFact { area, name, roleCode, roleName, states, value };
std::optional<std::string> lastEventFact(AccessibleFact fact);

// The text of the control that has the keyboard focus (its text contents, or
// its name when it holds no text), UTF-8. None when no focused control was
// found in time.
std::optional<std::string> focusedControlText();

}  // namespace varlo
