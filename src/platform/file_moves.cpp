// Rename without replacing (renameat2) and copy through a scratch file.
#include "platform/file_moves.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "base/regular_file.h"
#include "platform/scratch_files.h"

namespace varlo {

namespace fs = std::filesystem;

bool renameWithoutReplacing(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL) return false;
  // A file system without the no-replace rename: look first.
  std::error_code ec;
  return !fs::exists(fs::symlink_status(to, ec)) && rename(from.c_str(), to.c_str()) == 0;
}

bool copyFileReplacing(const std::string& from, const std::string& to) {
  if (!replaceableByFile(to)) {
    errno = EINVAL;
    return false;
  }
  std::string scratch = to + ".varlo-XXXXXX";
  int out = mkstemp(scratch.data());
  if (out < 0) return false;
  close(out);
  // Removed should the program end half way.
  holdScratchFile(scratch);
  std::error_code ec;
  fs::copy_file(from, scratch, fs::copy_options::overwrite_existing, ec);
  if (!ec) fs::rename(scratch, to, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(scratch, ignored);
  }
  releaseScratchFile(scratch);
  return !ec;
}

}  // namespace varlo
