// Main-menu options that work on the project directory and the selection.
#pragma once

#include <string>

namespace varlo {

// Option L: say the selection; false when it is empty or the user pressed Esc.
bool listSelection();
// Option M: insert by kind (I) or mark files of the selection (S).
void modifySelection();
// Option I: directory, size (with the CD capacity warning), file and
// subdirectory counts.
void projectInformation();
void sayProjectSize(const std::string& directory);

}  // namespace varlo
