// The single-instance lock: flock on $XDG_RUNTIME_DIR/varlo-<name>.lock, or
// /tmp/varlo-<uid>-<name>.lock. The descriptor stays open (and the lock held)
// until the process ends.
#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace varlo {

namespace {

// The name becomes part of a file name: no directory separators. /tmp is
// shared by every user, so the name there carries the user id.
std::string lockPath(std::string_view name) {
  std::string file(name);
  for (char& c : file)
    if (c == '/') c = '_';
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return std::string(runtime) + "/varlo-" + file + ".lock";
  return "/tmp/varlo-" + std::to_string(geteuid()) + "-" + file + ".lock";
}

}  // namespace

// A lock file that cannot be made does not stop the program: the user would
// be left with nothing, for a check that only prevents a second window.
bool acquireInstanceLock(std::string_view name) {
  int fd = open(lockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return true;
  // A file another user made under the name is no instance of this user's:
  // holding it must not keep the program from starting.
  struct stat info;
  if (fstat(fd, &info) != 0 || info.st_uid != geteuid()) {
    close(fd);
    return true;
  }
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int error = errno;
    if (error == EINTR) continue;
    close(fd);
    return error != EWOULDBLOCK;
  }
  return true;
}

}  // namespace varlo
