// Bytes typed in a terminal (xterm and its relatives, the Linux console)
// turned into the console's key codes: UTF-8 characters, control keys,
// escape sequences of the function and cursor keys with their modifiers,
// Alt+letter as an Esc prefix, and SGR mouse reports.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace varlo {

struct TerminalKey {
  enum class Source { keyboard, mouse, focusIn, focusOut };
  uint8_t code = 0;
  bool extended = false;   // delivered as 0 followed by code
  uint8_t modifiers = 0;   // keymod bits held with the key
  Source source = Source::keyboard;
};

// Decode the whole keys at the front of bytes, appending them to keys, and
// return how many bytes were used. A sequence cut short at the end is left
// for the next call unless idle is set (no byte followed it in time): then a
// lone Esc is the Esc key and any other unfinished sequence is dropped.
// Sequences that name no key are swallowed whole.
size_t decodeTerminalInput(std::string_view bytes, bool idle, std::vector<TerminalKey>& keys);

}  // namespace varlo
