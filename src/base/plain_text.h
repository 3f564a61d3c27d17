// Plain text as the program's files and fields hold it: lines cut at LF (a
// CR before it dropped) and blanks trimmed at both ends.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlo {

// Without the blanks (spaces and control characters) at both ends.
std::string_view trimBlanks(std::string_view text);
// Without the spaces at both ends (other characters are kept).
std::string_view trimSpaces(std::string_view text);
// The text with the ASCII letters a-z in upper case (other bytes kept): for
// names of protocols, keys and file endings, which are ASCII.
std::string upperAscii(std::string_view text);

// The lines of the text; a last line without LF counts, an empty text has
// no lines.
std::vector<std::string_view> splitLines(std::string_view text);

}  // namespace varlo
