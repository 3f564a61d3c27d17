// Files that hold work in progress (a WAV being rendered, an MP3 being
// encoded): removed when the program ends before they are finished, so that
// a cut file never passes for a whole one.
#pragma once

#include <string>

namespace varlo {

// Note a file (relative names are taken from the current directory) as
// unfinished until released. A few at a time; more are not tracked.
void holdScratchFile(const std::string& path);
// The file is finished (or gone): it stays when the program ends.
void releaseScratchFile(const std::string& path);
// Remove every file still held. Safe in a signal handler; also run at exit.
void removeScratchFiles();

}  // namespace varlo
