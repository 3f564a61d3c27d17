// The option menu: a pop-up list of entries drawn over a saved rectangle of
// the screen, moved through with the arrows or by typing an initial. Each
// entry is said as it becomes current: its key's recording when one exists,
// else its text. The screen under the menu is put back afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varlo {

// One entry: its 1-based number, its key (a message key, or a letter, "|"
// and a message key, or empty) and its text.
struct TOpcoes {
  int number = 0;
  std::string key;
  std::string text;
};

// Open a menu at (left, top), width columns wide and rows high, on the
// background colour given; it is moved to fit on the screen.
void openMenu(int left, int top, int width, int colour, int rows);
void addMenuEntry(std::string_view key, std::string_view text);
// Run the menu from entry 1: the number of the chosen entry, 0 after Esc.
// The entries are discarded afterwards.
int runMenu();
// A run that starts at entry `first` (1 when it is no entry) and, with
// functionKeysEnd, also ends at F1-F12, on the current entry: the entry
// (0 after Esc) and the key that ended it (byte, or 0 and the extended code).
struct MenuRun {
  int first = 1;
  bool functionKeysEnd = false;
};
struct MenuOutcome {
  int entry = 0;
  uint8_t byte = 0;
  uint8_t code = 0;
};
MenuOutcome runMenuWith(const MenuRun& how);
// The text of the entry chosen by the last run, "" when none.
const std::string& selectedMenuText();

}  // namespace varlo
