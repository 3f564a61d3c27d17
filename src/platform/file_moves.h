// Renaming and copying files without losing one: a rename never replaces a
// file that has the new name, and a copy reaches its target whole or not at
// all.
#pragma once

#include <string>

namespace varlo {

// False (and nothing changed) when the target exists, the source is missing,
// or they are on different file systems.
bool renameWithoutReplacing(const std::string& from, const std::string& to);

// Copies a regular file over the target (replacing it) through a scratch file
// beside the target, renamed over it at the end: a failed copy leaves the
// old target as it was. A target that is not a regular file (a device, a
// FIFO) is refused, never replaced. The caller refuses a copy onto the source
// itself.
bool copyFileReplacing(const std::string& from, const std::string& to);

}  // namespace varlo
