// Opening files that must be regular files. A FIFO blocks open() until a
// writer comes, and a device may never end a read: where the program means a
// file on disk, anything else is refused at once instead.
#pragma once

#include <cstdio>
#include <string>

namespace varlo {

// Like std::fopen with a mode of "r", "w", "a" (each with an optional "+"
// and "b"), but opened without waiting and kept only when it is a regular
// file; otherwise nullptr with errno set (EINVAL for a file of another kind).
// For writing, a character device the user named (/dev/null, a printer) is
// also taken: writing to it ends, reading from one may not.
std::FILE* openRegularFile(const std::string& path, const char* mode);

// The same as a descriptor (flags as for open(2)); -1 when it cannot be
// opened or is not a regular file.
int openRegularFd(const std::string& path, int flags, int permissions = 0666);

// A file under a name the program made up (a scratch file, a piece being
// recorded): a regular file or a symbolic link with the name is removed
// first (the link itself, never what it points to), and the file is created
// exclusively without following a link, so a link planted there cannot send
// the output elsewhere. A device, a FIFO or a directory at the name is never
// removed: nullptr (errno EINVAL). Mode "w" or "w+", with an optional "b".
std::FILE* createScratchFile(const std::string& path, const char* mode);
// An output file the user may have named (an engine's recording): as a
// scratch file, except that a character device there (/dev/null) is
// written in place.
std::FILE* createOutputFile(const std::string& path, const char* mode);

// True when nothing has the name, or a regular file has it: a name that may
// be replaced by a new regular file without destroying a device or a FIFO.
bool replaceableByFile(const std::string& path);

}  // namespace varlo
