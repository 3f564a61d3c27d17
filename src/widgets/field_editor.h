// The spoken field editor: all text entry of the program. A single-line
// window onto a value at a screen position that says what the cursor passes
// over, announces deletions, reads words and the whole field on request,
// keeps a shift-selection with copy and paste, and returns the key that
// ended the edit so that callers can move between fields with Tab, the
// arrows or function keys.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varlo {

constexpr int kMaxFieldLength = 2048;

// Edit value at (x, y) (1-based, text window relative) in a window of width
// columns, at most maxLength characters; read-only when editable is false.
// Returns the key that ended the edit: its byte for Tab 9, Enter 13, Esc 27,
// Ctrl+Enter 10, Ctrl+B 2 (and Ctrl+C 3, Ctrl+V 22 when the speech options
// ask for them), else the extended code (72 Up, 80 Down, 67 F9 ...).
// Trailing spaces are removed from the value.
uint8_t editField(std::string& value, int x, int y, bool editable, int width, int maxLength);
// editField as wide as the text window allows from column x.
uint8_t editFieldHere(std::string& value, int x, int y, bool editable, int maxLength);

// A line typed at the cursor (at most 255 characters), then a new line.
// Esc gives "" and erases what was typed from the screen.
void readLineSpoken(std::string& value);
// A number typed at the cursor: its leading integer; an empty line leaves
// number as it was.
void readNumberSpoken(int& number);

// The cursor position in the value when the last edit ended (1-based).
int lastEditPosition();

// The integer at the start of a text (a sign, then digits up to the first
// other character, kept within the int range); false, and number
// unchanged, when no digit starts it.
bool leadingInteger(std::string_view text, int& number);

}  // namespace varlo
