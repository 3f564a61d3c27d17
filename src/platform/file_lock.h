// Advisory locks on files (flock), for work that several processes, perhaps
// on several machines sharing a folder, must never do twice at once.
#pragma once

#include <string>

namespace varlo {

// Takes the lock of the file (created when missing) without waiting: its
// descriptor, or -1 when another holds it or the file cannot be made. An
// inheritable lock stays held by a program this process becomes (exec), so
// that it lasts exactly as long as the work.
int tryLockFile(const std::string& path, bool inheritable);
// Waits for the lock; -1 only when the file cannot be made.
int lockFile(const std::string& path);
void unlockFile(int fd);

}  // namespace varlo
