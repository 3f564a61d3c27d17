// File locks through flock, on descriptors opened without following links.
#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace varlo {

namespace {

int lockWith(const std::string& path, int flags, int how) {
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | flags, 0644);
  if (fd < 0) return -1;
  int result;
  while ((result = flock(fd, how)) != 0 && errno == EINTR) {}
  if (result == 0) return fd;
  close(fd);
  return -1;
}

}  // namespace

int tryLockFile(const std::string& path, bool inheritable) {
  return lockWith(path, inheritable ? 0 : O_CLOEXEC, LOCK_EX | LOCK_NB);
}

int lockFile(const std::string& path) { return lockWith(path, O_CLOEXEC, LOCK_EX); }

void unlockFile(int fd) {
  if (fd >= 0) close(fd);
}

}  // namespace varlo
