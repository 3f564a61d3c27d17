// The desktop's clipboard reached through its command-line tools: wl-copy
// and wl-paste on Wayland, xclip or else xsel on X. Text is UTF-8. Every call
// is limited in time, so a tool that hangs never holds the program.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varlo {

// False when no desktop is reachable, no tool is installed, or the tool failed.
bool copyToSystemClipboard(std::string_view text);
// The clipboard's text, at most limit bytes; none when it cannot be had.
std::optional<std::string> pasteFromSystemClipboard(size_t limit);

}  // namespace varlo
