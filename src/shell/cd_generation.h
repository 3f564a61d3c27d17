// Main-menu option G (and Ctrl+G): burn the project directory with the
// `createcd` command, asking for the speed and the label first, and keep
// reminding the user to check the disc until a key is pressed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlo {

// With appState().newProjectMode set (Ctrl+G), the project directory is
// restored from appState().savedProjectDirectory at the end.
void generateCd();

// The recorder named by [VARLO] CD: a drive letter keeps only its letter
// ("E:" gives "E"); a device or image path is kept whole.
std::string recorderSetting(std::string_view cdDrive);
// The label as the burner gets it: spaces become "_".
std::string burnerLabel(std::string_view typed);
// createcd's arguments: -r:, -s: (speed > 0), -l: (label not empty),
// -eject, -v and the project's "*.*" pattern.
std::vector<std::string> burnerArguments(const std::string& recorder, int speed,
                                         const std::string& label, const std::string& project);
// The speed after an arrow key: Down adds 2 up to 48, Up takes 2 down to 2.
int nextSpeed(int speed, int extendedKey);

}  // namespace varlo
