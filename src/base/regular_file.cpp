// Regular files opened without blocking on a FIFO or a device.
#include "base/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace varlo {

namespace {

// A descriptor opened without waiting, kept when its kind is wanted.
int openKind(const std::string& path, int flags, int permissions, bool deviceToo) {
  int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, permissions);
  if (fd < 0) return -1;
  struct stat info;
  bool wanted = fstat(fd, &info) == 0 &&
                (S_ISREG(info.st_mode) || (deviceToo && S_ISCHR(info.st_mode)));
  if (!wanted) {
    close(fd);
    errno = EINVAL;
    return -1;
  }
  // The flag only mattered for the open itself.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

int openRegularFd(const std::string& path, int flags, int permissions) {
  return openKind(path, flags, permissions, false);
}

std::FILE* openRegularFile(const std::string& path, const char* mode) {
  bool update = std::string(mode).find('+') != std::string::npos;
  int flags = 0;
  switch (mode[0]) {
    case 'r': flags = update ? O_RDWR : O_RDONLY; break;
    case 'w': flags = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC; break;
    case 'a': flags = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND; break;
    default: errno = EINVAL; return nullptr;
  }
  // A truncating open is made without O_TRUNC first, so that a FIFO or a
  // device is looked at before anything is done to it.
  int fd = openKind(path, flags & ~O_TRUNC, 0666, mode[0] != 'r');
  if (fd < 0) return nullptr;
  struct stat info;
  bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if ((flags & O_TRUNC) && regular && ftruncate(fd, 0) != 0) {
    close(fd);
    return nullptr;
  }
  std::FILE* file = fdopen(fd, mode);
  if (!file) close(fd);
  return file;
}

std::FILE* createScratchFile(const std::string& path, const char* mode) {
  struct stat info;
  if (lstat(path.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
      errno = EINVAL;
      return nullptr;
    }
    unlink(path.c_str());
  }
  bool update = std::string(mode).find('+') != std::string::npos;
  int fd = ::open(path.c_str(),
                  (update ? O_RDWR : O_WRONLY) | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  std::FILE* file = fdopen(fd, mode);
  if (!file) close(fd);
  return file;
}

std::FILE* createOutputFile(const std::string& path, const char* mode) {
  struct stat info;
  if (lstat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode)) return openRegularFile(path, mode);
  return createScratchFile(path, mode);
}

bool replaceableByFile(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return errno == ENOENT;
  if (S_ISLNK(info.st_mode) && stat(path.c_str(), &info) != 0) return errno == ENOENT;
  return S_ISREG(info.st_mode);
}

}  // namespace varlo
