// The console without a terminal: the grid lives only in memory (read it with
// screenDump), keys come from injectKeys or, in a batch run, from stdin.
#pragma once

#include <cstddef>
#include <string_view>

#include "console/console_front_end.h"

namespace varlo {

// The headless front end. When stdin is not a terminal, keys are read from
// it once the key queue and the injected keys are empty (UTF-8 becomes
// Windows-1252, a line end becomes Enter). When no input is left, a key read
// gets Esc; the 51st such read ends the program, so a batch run never hangs.
const FrontEnd* openHeadlessFrontEnd();

// Whether the program ends after those Esc keys (on unless switched off: a
// host that bounds its scripts itself, like the fuzzer, keeps running).
void setHeadlessEndsWithInput(bool on);

// Keys typed at a terminal on stdin: given a decoder of terminal input
// (bytes to queued keys, answering the bytes used; idle: no byte followed
// in time), the headless front end opened while stdin is a terminal reads
// it key by key, without echo, and puts the terminal back at the end.
using TerminalKeyDecoder = size_t (*)(std::string_view bytes, bool idle);
void setHeadlessTerminalKeys(TerminalKeyDecoder decoder);

// Mirror the console output to stdout as UTF-8 text (line ends kept, other
// control characters left out).
void setHeadlessEcho(bool on);

}  // namespace varlo
