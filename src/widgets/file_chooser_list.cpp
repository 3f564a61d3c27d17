// Listing a directory: masks made name prefixes, vowels standing for their
// accented forms, matching without regard to case, the attribute filter, and
// the names on disk kept next to the names shown.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include "widgets/file_chooser.h"
#include "speech/speech.h"
#include "base/codepage.h"

namespace varlo {

namespace {

// Each vowel and its accented forms ("É" in capital: case is ignored anyway).
std::string_view vowelForms(std::string_view mask) {
  if (mask.size() != 1) return {};
  switch (mask[0]) {
    case 'a': case 'A': return "a|\xE1|\xE0|\xE3|\xE2|\xE4";
    case 'e': case 'E': return "e|\xC9|\xE8|\xEA|\xEB";
    case 'i': case 'I': return "i|\xED|\xEC|\xEE|\xEF";
    case 'o': case 'O': return "o|\xF3|\xF2|\xF4|\xF5|\xF6";
    case 'u': case 'U': return "u|\xFA|\xF9|\xFB|\xFC";
    default: return {};
  }
}

void splitBars(std::string_view text, std::vector<std::string>& into) {
  size_t start = 0;
  for (;;) {
    size_t bar = text.find('|', start);
    into.emplace_back(text.substr(start, bar - start));
    if (bar == std::string_view::npos) return;
    start = bar + 1;
  }
}

// * matches any run, ? any one character; both texts already upper-cased.
bool wildMatch(std::string_view pat, std::string_view name) {
  size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pat.size() && (pat[p] == '?' || pat[p] == name[n])) {
      ++p, ++n;
    } else if (p < pat.size() && pat[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pat.size() && pat[p] == '*') ++p;
  return p == pat.size();
}

// The packed local date and time of a file: year-1980, month, day in the
// high word, hour, minute, seconds/2 in the low word.
int32_t packedTime(time_t when) {
  struct tm t{};
  localtime_r(&when, &t);
  int year = std::max(t.tm_year + 1900, 1980) - 1980;
  uint32_t date = (std::min(year, 127) << 9) | ((t.tm_mon + 1) << 5) | t.tm_mday;
  uint32_t clock = (t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec / 2);
  return static_cast<int32_t>((date << 16) | clock);
}

int attributesOf(const std::string& diskName, const struct stat& st) {
  int bits = S_ISDIR(st.st_mode) ? attr::directory : attr::archive;
  if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) bits |= attr::system;
  if (!diskName.empty() && diskName[0] == '.') bits |= attr::hidden;
  if (access(diskName.c_str(), W_OK) != 0) bits |= attr::readOnly;
  return bits;
}

// What the directory search returns for a filter: hidden, system and
// directory entries only when asked for, then the filter's own rule.
bool passesFilter(int bits, int filter) {
  int excluded = ~filter & (attr::hidden | attr::system | attr::volume | attr::directory);
  if (bits & excluded) return false;
  if ((bits & filter) == filter) return true;
  return filter == attr::archive && !(bits & (attr::directory | attr::volume));
}

void listOneMask(const std::string& mask, int filter, std::vector<TMySearchRec>& out) {
  size_t slash = mask.rfind('/');
  std::string dir = slash == std::string::npos ? "" : mask.substr(0, slash + 1);
  std::string pattern = upperText(slash == std::string::npos ? mask : mask.substr(slash + 1));
  std::string onDisk = dir.empty() ? "." : diskPath(dir);
  DIR* d = opendir(onDisk.c_str());
  if (!d) return;
  while (dirent* e = readdir(d)) {
    std::string diskName = e->d_name;
    if (diskName == "." || diskName == "..") continue;
    std::string shown = displayName(diskName);
    if (!maskMatches(pattern, shown)) continue;
    std::string full = diskName;
    if (!dir.empty()) full = onDisk + (onDisk.back() == '/' ? "" : "/") + diskName;
    struct stat st{};
    if (stat(full.c_str(), &st) != 0) continue;   // a dangling link opens nothing
    int bits = attributesOf(full, st);
    if (!passesFilter(bits, filter)) continue;
    out.push_back({packedTime(st.st_mtime), static_cast<int64_t>(st.st_size), bits,
                   shown, shown, diskName, 0});
  }
  closedir(d);
}

}  // namespace

std::vector<std::string> expandMasks(std::string_view masks) {
  std::vector<std::string> given, out;
  splitBars(masks, given);
  for (const std::string& m : given) {
    std::string_view forms = vowelForms(m);
    if (forms.empty())
      out.push_back(m);
    else
      splitBars(forms, out);
  }
  for (std::string& m : out) {
    size_t slash = m.rfind('/');
    bool hasDot = m.find('.', slash == std::string::npos ? 0 : slash) != std::string::npos;
    m += hasDot ? "*" : "*.*";
  }
  return out;
}

bool maskMatches(std::string_view mask, std::string_view name) {
  std::string pat = upperText(mask), upper = upperText(name);
  // "*.*" and "x*.*" also take names without an extension.
  if (pat.size() >= 2 && pat.compare(pat.size() - 2, 2, ".*") == 0 &&
      wildMatch(std::string_view(pat).substr(0, pat.size() - 2), upper))
    return true;
  return wildMatch(pat, upper);
}

std::vector<TMySearchRec> listEntries(std::string_view masks, int attributeFilter) {
  std::vector<TMySearchRec> entries;
  for (const std::string& mask : expandMasks(masks)) listOneMask(mask, attributeFilter, entries);
  return entries;
}

}  // namespace varlo
