// What each key of the main menu runs. The options live in their own
// modules; this is where the menu reaches them.
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
void reviewScreen();

void settingsDialog();
void convertSelection();
void divideFile();
void runScriptOption();
void editWithSuiteEditor();
void generateCd();
void modifySelection();
void voiceTest();
void voiceAdjust();
void copyProjectOption();
void divideAlternatingVoices();
void recordNewProject();
void openManual();
void runCommandLineJobOption(const std::string& textFile);

}  // namespace varlo
