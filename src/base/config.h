// The suite's settings file Murena.ini: where it is, and reading values with
// the suite's path macros expanded. Nothing is written here.
#pragma once

#include <string>
#include <string_view>

namespace varlo {

// The directory holding the user's Murena.ini when it exists
// (${XDG_CONFIG_HOME:-$HOME/.config}/murena), else the suite directory that
// holds the shipped default.
std::string configDirectory();
// Full path of the settings file in use.
std::string configFile();
// The user's own writable data of this program, such as its scripts:
// ${XDG_DATA_HOME:-$HOME/.local/share}/varlo (it may not exist yet).
std::string userDataDirectory();
// The user's own settings file, which the settings dialog writes (it may not
// exist yet).
std::string userConfigFile();
// The suite directory (shipped data, voices, scripts, manuals): the
// VARLO_SUITE env var; else share/varlo beside the program's bin/ directory
// when it exists or the program is not run from the build tree; else the
// source tree's data.
std::string suiteDirectory();
// False when the suite directory is missing (an installation whose data was
// removed): the program cannot work without it.
bool suiteDirectoryExists();
// The directory of the running program file, "" when unknown.
std::string executableDirectory();
// The directory that the "@" path macro stands for (the suite directory).
std::string programDirectory();

// The expanded value of [section] key as program text (Windows-1252), ""
// when missing. Backslashes in values read as "/". A settings file may be
// UTF-8 or Windows-1252; either reads the same.
std::string readSetting(std::string_view section, std::string_view key);
// The same value as a file name on disk (UTF-8): for paths and programs.
std::string readPathSetting(std::string_view section, std::string_view key);
// The value without macro expansion (the console's own keys).
std::string readRawSetting(std::string_view section, std::string_view key);

// Look values up in the suite directory's Murena.ini as well when missing
// from the user's file.
void setLegacyLookup(bool on);
// Forget cached file contents (after the settings dialog writes the file).
void reloadSettings();

}  // namespace varlo
