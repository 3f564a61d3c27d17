// One program instance at a time: an advisory lock on a file under
// $XDG_RUNTIME_DIR (or a per-user name in /tmp), held until the process ends.
#pragma once

#include <string_view>

namespace varlo {

// False when another instance already holds the lock of this name. A lock
// file owned by another user is ignored.
bool acquireInstanceLock(std::string_view name);

}  // namespace varlo
