// The console drawn in the terminal the program runs in: raw keyboard mode,
// the alternate screen, 24-bit colours, the title through OSC 2, keys and
// mouse clicks decoded from the terminal's sequences.
//
// There is no Break key in a terminal, and Ctrl+C is a key of the program
// (copy). SIGINT, SIGTERM and SIGHUP sent from outside play the part of
// Ctrl+Break: the program ends cleanly at its next pump; a second such signal
// ends it at once. SIGQUIT and the crash signals restore the terminal and
// then take their default action. Every exit path leaves the terminal as it
// was found.
#pragma once

#include "console/console_front_end.h"

namespace varlo {

// The terminal front end, or null when stdin and stdout are not both a
// terminal.
const FrontEnd* openTerminalFrontEnd();

}  // namespace varlo
