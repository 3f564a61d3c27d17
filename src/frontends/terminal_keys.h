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
  // keyReleases: the terminal said it can report key releases (the kitty
  // keyboard protocol's answer to the query of its flags).
  enum class Source { keyboard, mouse, focusIn, focusOut, keyReleases };
  uint8_t code = 0;
  bool extended = false;   // delivered as 0 followed by code
  uint8_t modifiers = 0;   // keymod bits held with the key
  Source source = Source::keyboard;
  // Keys reported by the kitty keyboard protocol: the upper-case letter or
  // the space of the key (0 for others), and whether it was released (a
  // release carries no code).
  char letter = 0;
  bool released = false;
};

// Decode the whole keys at the front of bytes, appending them to keys, and
// return how many bytes were used. A sequence cut short at the end is left
// for the next call unless idle is set (no byte followed it in time): then a
// lone Esc is the Esc key and any other unfinished sequence is dropped.
// Sequences that name no key are swallowed whole.
size_t decodeTerminalInput(std::string_view bytes, bool idle, std::vector<TerminalKey>& keys);

}  // namespace varlo
