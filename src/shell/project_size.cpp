// Measuring a project tree (bytes, files, subdirectories), scaling the size
// for speech, and copying the tree elsewhere.
#include "shell/project_size.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <utility>

namespace varlo {

namespace fs = std::filesystem;

namespace {

// Directories already walked, by device and inode: a link back to a parent
// would otherwise be walked again and again.
using Walked = std::set<std::pair<dev_t, ino_t>>;

bool firstVisit(const std::string& directory, Walked& walked) {
  struct stat info;
  return stat(directory.c_str(), &info) == 0 && walked.insert({info.st_dev, info.st_ino}).second;
}

void walk(const std::string& directory, ProjectSize& size, Walked& walked) {
  std::error_code ec;
  fs::directory_iterator it(directory, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const fs::directory_entry& entry = *it;
    if (entry.path().filename().string().front() == '.') continue;
    std::error_code statError;
    if (entry.is_directory(statError)) {
      ++size.subdirectories;
      if (firstVisit(entry.path().string(), walked)) walk(entry.path().string(), size, walked);
    } else {
      ++size.files;
      uint64_t bytes = entry.is_regular_file(statError) ? entry.file_size(statError) : 0;
      if (!statError) size.bytes += bytes;
    }
  }
}

}  // namespace

ProjectSize measureProject(const std::string& directory) {
  ProjectSize size;
  Walked walked;
  if (firstVisit(directory, walked)) walk(directory, size, walked);
  return size;
}

ScaledSize scaleSize(uint64_t bytes) {
  ScaledSize s{bytes, ""};
  for (const char* unit : {"K", "MB"}) {
    if (s.value <= 65535) break;
    uint64_t rest = s.value % 1024;
    s.value = s.value / 1024 + (rest > 512 ? 1 : 0);
    s.unit = unit;
  }
  return s;
}

bool isInside(const std::string& directory, const std::string& outer) {
  std::error_code ec;
  fs::path inner = fs::weakly_canonical(directory, ec), base = fs::weakly_canonical(outer, ec);
  auto [b, i] = std::mismatch(base.begin(), base.end(), inner.begin(), inner.end());
  return b == base.end();
}

bool copyProjectTree(const std::string& from, const std::string& to) {
  std::error_code ec;
  // A target inside the project would be copied into itself without end.
  if (isInside(to, from)) return false;
  fs::create_directories(to, ec);
  fs::copy(from, to,
           fs::copy_options::recursive | fs::copy_options::overwrite_existing |
               fs::copy_options::copy_symlinks,
           ec);
  return !ec;
}

}  // namespace varlo
