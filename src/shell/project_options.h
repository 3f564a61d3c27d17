// Main-menu options that work on the project directory and the selection.
#pragma once

#include <string>

namespace varlo {

// Option L: say the selection; false when it is empty or the user pressed Esc.
bool listSelection();
// Option I: directory, size (with the CD capacity warning), file and
// subdirectory counts.
void projectInformation();
void sayProjectSize(const std::string& directory);

}  // namespace varlo
