// Names on disk and names shown: the program works in Windows-1252, the disk
// holds UTF-8 (or any bytes). A path the user typed or chose is turned back
// into the exact path on disk, part by part, so that a chosen file is always
// the one opened.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "widgets/file_chooser.h"
#include "widgets/file_chooser_state.h"
#include "base/codepage.h"

namespace varlo {

namespace {

// The last entry the chooser answered: its shown and on-disk absolute paths.
// Names with characters outside Windows-1252 show as "?" and may look alike;
// this keeps the one the user picked.
struct Chosen {
  std::string shown;
  std::string disk;
} chosen;

bool exists(const std::string& path) {
  struct stat st{};
  return lstat(path.c_str(), &st) == 0;
}

std::string joined(const std::string& base, const std::string& part) {
  if (base.empty()) return part;
  return base.back() == '/' ? base + part : base + "/" + part;
}

// The name on disk, in directory base, of one part shown as `part`.
std::string diskPart(const std::string& base, const std::string& part) {
  if (part == "." || part == "..") return part;
  std::string utf8 = cp1252ToUtf8(part);
  if (exists(joined(base, utf8))) return utf8;
  if (exists(joined(base, part))) return part;
  std::string found = utf8;   // a name still to be created is written as UTF-8
  if (DIR* d = opendir(base.empty() ? "." : base.c_str())) {
    while (dirent* e = readdir(d)) {
      if (displayName(e->d_name) == part) {
        found = e->d_name;
        break;
      }
    }
    closedir(d);
  }
  return found;
}

std::string absoluteShown(std::string_view path) {
  if (!path.empty() && path[0] == '/') return std::string(path);
  return joined(displayName(currentDirectory()), std::string(path));
}

}  // namespace

std::string currentDirectory() {
  std::string buffer(4096, '\0');
  if (!getcwd(buffer.data(), buffer.size())) return ".";
  buffer.resize(buffer.find('\0'));
  return buffer;
}

void rememberChosen(const std::string& shownPath, const std::string& diskFullPath) {
  chosen = {absoluteShown(shownPath), diskFullPath};
}

std::string displayName(std::string_view diskName) { return utf8ToCp1252(diskName); }

std::string diskPath(std::string_view path) {
  if (path.empty()) return {};
  if (!chosen.shown.empty() && absoluteShown(path) == chosen.shown && exists(chosen.disk))
    return chosen.disk;
  std::string result = path[0] == '/' ? "/" : "";
  size_t start = path[0] == '/' ? 1 : 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    std::string part(path.substr(start, slash - start));
    if (!part.empty()) result = joined(result, diskPart(result, part));
    if (slash == std::string_view::npos) break;
    if (slash + 1 == path.size()) result += result.empty() || result.back() != '/' ? "/" : "";
    start = slash + 1;
  }
  return result;
}

}  // namespace varlo
