// The braille display: the console's focus row translated with liblouis and
// shown through BrlAPI on the display BRLTTY drives, with its panning and
// routing keys. Without BRLTTY the program runs without braille, and takes
// the display when BRLTTY appears later.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varlo {

// A row in braille: one dot pattern per cell (bit 0 dot 1 ... bit 7 dot 8),
// the character of the row each cell came from and the first cell of each
// character.
struct BrailleRow {
  std::vector<uint8_t> dots;
  std::vector<int> cellToChar;
  std::vector<int> charToCell;
};
// Translate Windows-1252 text with the liblouis table list given; false when
// the table cannot be used.
bool translateBraille(std::string_view text, const std::string& table, BrailleRow& row);

// The first cell shown of a row of cellCount cells on a display width cells
// wide: the window that was shown (first) if it still holds the cursor
// cell, else the window of the cursor; -1 for no cursor keeps the window.
int panWindow(int first, int width, int cellCount, int cursorCell);

// [BRAILLE] LINHA (the display is used unless it says "NAO" or "0") and
// TABELA (the liblouis table list, Portuguese uncontracted by default).
constexpr char kDefaultBrailleTable[] = "pt-pt-g1.utb";
bool brailleLineWanted();
std::string brailleTableSetting();
// Put the settings in force: register the display with the console or let
// it go, and show the row again in the table chosen. Nothing is waited for:
// BRLTTY is looked for when the console pumps.
void applyBrailleSettings();

}  // namespace varlo
