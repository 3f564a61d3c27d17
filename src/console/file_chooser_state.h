// Links between the file chooser's own files.
#pragma once

#include <string>

namespace varlo {

// The process's current directory as the disk names it.
std::string currentDirectory();
// Keep the exact disk path of the entry the chooser answered with.
void rememberChosen(const std::string& shownPath, const std::string& diskFullPath);

}  // namespace varlo
