// What the main menu runs that is not an option module of its own: the
// project prompt, the arrow menu, and the Ctrl options of the menu.
#pragma once

#include <cstdint>
#include <string>

namespace varlo {

// Edit the project directory in the field editor; returns the key that ended
// the edit (Esc gives up).
uint8_t editProjectDirectory(std::string& directory);
std::string currentDirectoryName();
// Fill the selection at start: the parts, then the texts when there are any.
void fillSelectionAtStart();
// The arrow menu over the catalogue entries; the chosen entry (1-based) or 0.
int runArrowMenu(const char* const* keys, int count);

void runScriptOption();
void editWithSuiteEditor();
void copyProjectOption();
void divideAlternatingVoices();
void recordNewProject();
void openManual();

}  // namespace varlo
