// The files of work in progress, kept in fixed slots so that a signal handler
// can remove them without allocating.
#include "platform/scratch_files.h"

#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace varlo {

namespace {

constexpr int kSlots = 32;

struct ScratchFiles {
  char paths[kSlots][PATH_MAX] = {};
  bool exitHookSet = false;
} scratch;

std::string absolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char here[PATH_MAX];
  return getcwd(here, sizeof here) ? std::string(here) + "/" + path : path;
}

}  // namespace

void holdScratchFile(const std::string& path) {
  std::string full = absolutePath(path);
  if (full.size() >= PATH_MAX) return;
  if (!scratch.exitHookSet) {
    std::atexit(removeScratchFiles);
    scratch.exitHookSet = true;
  }
  for (char* slot : scratch.paths) {
    if (slot[0] != '\0' && full == slot) return;
  }
  for (char* slot : scratch.paths) {
    if (slot[0] == '\0') {
      std::memcpy(slot, full.c_str(), full.size() + 1);
      return;
    }
  }
}

void releaseScratchFile(const std::string& path) {
  std::string full = absolutePath(path);
  for (char* slot : scratch.paths) {
    if (full == slot) slot[0] = '\0';
  }
}

void removeScratchFiles() {
  for (char* slot : scratch.paths) {
    if (slot[0] == '\0') continue;
    unlink(slot);
    slot[0] = '\0';
  }
}

}  // namespace varlo
