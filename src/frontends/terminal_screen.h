// Drawing the console grid on a terminal: the escape sequences and UTF-8 text
// that bring what the terminal shows up to the grid, cell by cell.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "console/console.h"

namespace varlo {

struct ScreenImage {
  std::array<uint8_t, kColumns * kRows> chars{};
  std::array<uint8_t, kColumns * kRows> attributes{};
};

// Append to out what turns the terminal from shown into wanted (every cell
// when full is set); shown becomes wanted.
void renderScreenChanges(ScreenImage& shown, const ScreenImage& wanted, bool full,
                         std::string& out);

// The SGR sequence of an attribute byte: 24-bit colours of its foreground
// (low nibble) and background (high nibble) through the colour map.
std::string attributeSequence(uint8_t attribute);

// UTF-8 of a Windows-1252 text for the terminal, with control characters
// (which would drive the terminal) shown as '?'.
std::string terminalText(std::string_view cp1252);

}  // namespace varlo
