// The terminal front end's clipboard: a copy goes out to the terminal with
// the OSC 52 sequence (terminals, and tmux with set-clipboard on, take it)
// and to the desktop's clipboard tool when one is installed; a paste comes
// from that tool.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace varlo {

// The OSC 52 sequence that sets the terminal's clipboard to a UTF-8 text.
std::string clipboardSequence(std::string_view utf8);

// Copy a Windows-1252 text out; `write` sends the sequence to the terminal
// (null when the terminal is not ours at the moment).
void copyOutOfTerminal(std::string_view text, void (*write)(const std::string&));
// The desktop clipboard's text in Windows-1252; false when there is none.
bool pasteIntoTerminal(std::string& text, size_t limit);

}  // namespace varlo
