// Reading Murena.ini: the user's file or the suite's default, cached while
// unchanged, with the "@/" and "@@/" path macros expanded.
#include "base/config.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "base/codepage.h"
#include "base/ini_file.h"

namespace varlo {

namespace {

constexpr const char* kIniName = "Murena.ini";

// The text of each settings file read so far, kept while its modification
// time stays the same.
struct CachedFile {
  struct timespec mtime{};
  bool exists = false;
  std::string text;
  bool utf8 = false;   // the file is UTF-8 (else Windows-1252)
};

struct ConfigState {
  bool legacy = true;
  std::map<std::string, CachedFile> files;
};

ConfigState& state() {
  static ConfigState s;
  return s;
}

bool fileExists(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isDirectory(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

const CachedFile& cachedFile(const std::string& path) {
  CachedFile& cached = state().files[path];
  struct stat st{};
  bool exists = stat(path.c_str(), &st) == 0;
  if (exists != cached.exists || !exists ||
      st.st_mtim.tv_sec != cached.mtime.tv_sec || st.st_mtim.tv_nsec != cached.mtime.tv_nsec) {
    cached.exists = exists;
    cached.text.clear();
    if (exists) {
      cached.mtime = st.st_mtim;
      std::ifstream in(path, std::ios::binary);
      std::ostringstream ss;
      ss << in.rdbuf();
      cached.text = ss.str();
      cached.utf8 = looksLikeUtf8(cached.text);
    }
  }
  return cached;
}

// An XDG base directory of the user, or its fallback under $HOME.
std::string userHomeDirectory(const char* xdgVariable, const char* fallback) {
  const char* xdg = std::getenv(xdgVariable);
  if (xdg && *xdg) return xdg;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + fallback;
}

std::string userConfigDirectory() { return userHomeDirectory("XDG_CONFIG_HOME", "/.config") + "/murena"; }

std::string sharedConfigFile() { return suiteDirectory() + "/" + kIniName; }

// A value of a settings file in UTF-8, as file names on disk are.
std::optional<std::string> utf8Value(const std::string& path, std::string_view section,
                                     std::string_view key) {
  const CachedFile& file = cachedFile(path);
  auto value = iniValue(file.text, section, key);
  if (value && !file.utf8) value = cp1252ToUtf8(*value);
  return value;
}

// The value before macro expansion, in UTF-8.
std::string unexpandedSetting(std::string_view section, std::string_view key) {
  std::string file = configFile();
  auto value = utf8Value(file, section, key);
  if ((!value || value->empty()) && state().legacy && file != sharedConfigFile())
    value = utf8Value(sharedConfigFile(), section, key);
  return value.value_or("");
}

std::string slashes(std::string value) {
  for (char& c : value)
    if (c == '\\') c = '/';
  return value;
}

std::string expand(const std::string& value, int depth);

// The suite program directory that "@\" stands for. PGMMURENA is itself
// expanded, one level deep only, so that a value naming itself cannot loop.
std::string suiteProgramDirectory(int depth) {
  if (depth > 0) return programDirectory();
  std::string pgm = expand(slashes(unexpandedSetting("MURENA", "PGMMURENA")), depth + 1);
  return pgm.empty() || pgm[0] == '@' ? programDirectory() : pgm;
}

// Left to right, never looking again at a directory put in: a directory
// whose name holds "@" (a PGMMURENA ending in "@") must not be expanded in
// turn, or the value grows for ever.
std::string expand(const std::string& value, int depth) {
  if (value == "@") return programDirectory();
  std::string out;
  for (size_t i = 0; i < value.size();) {
    if (value.compare(i, 3, "@@/") == 0) {
      out += configDirectory() + "/";
      i += 3;
    } else if (value.compare(i, 2, "@/") == 0) {
      out += suiteProgramDirectory(depth) + "/";
      i += 2;
    } else {
      out += value[i++];
    }
  }
  return out;
}

// A program file that lies in the build tree (the programs, the test and
// benchmark programs): it uses the source tree's data.
bool runFromBuildTree(const std::string& programDir) {
  char* real = realpath(VARLO_BINARY_DIR, nullptr);
  std::string build = real ? real : VARLO_BINARY_DIR;
  std::free(real);
  return programDir == build || programDir.starts_with(build + "/");
}

// An installed program keeps its data in share/varlo beside its bin/
// directory, whatever the prefix, and is told when that is missing rather
// than quietly using some other data.
std::string chooseSuiteDirectory() {
  std::string bin = executableDirectory();
  if (bin.empty()) return VARLO_SUITE_DIR;
  std::string installed = bin.substr(0, bin.find_last_of('/') + 1) + "share/varlo";
  if (isDirectory(installed) || !runFromBuildTree(bin)) return installed;
  return VARLO_SUITE_DIR;
}

}  // namespace

std::string executableDirectory() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string file = n > 0 ? std::string(path, static_cast<size_t>(n)) : "";
  size_t slash = file.find_last_of('/');
  return slash == std::string::npos ? "" : file.substr(0, slash);
}

std::string suiteDirectory() {
  const char* env = std::getenv("VARLO_SUITE");
  if (env && *env) return env;
  static const std::string chosen = chooseSuiteDirectory();
  return chosen;
}

bool suiteDirectoryExists() { return isDirectory(suiteDirectory()); }

std::string programDirectory() { return suiteDirectory(); }

std::string configDirectory() {
  std::string user = userConfigDirectory();
  if (fileExists(user + "/" + kIniName)) return user;
  if (fileExists(sharedConfigFile())) return suiteDirectory();
  return user;
}

std::string configFile() { return configDirectory() + "/" + kIniName; }

std::string userConfigFile() { return userConfigDirectory() + "/" + kIniName; }

std::string userDataDirectory() { return userHomeDirectory("XDG_DATA_HOME", "/.local/share") + "/varlo"; }

std::string readRawSetting(std::string_view section, std::string_view key) {
  return utf8ToCp1252(unexpandedSetting(section, key));
}

std::string readPathSetting(std::string_view section, std::string_view key) {
  return expand(slashes(unexpandedSetting(section, key)), 0);
}

std::string readSetting(std::string_view section, std::string_view key) {
  return utf8ToCp1252(readPathSetting(section, key));
}

void setLegacyLookup(bool on) { state().legacy = on; }

void reloadSettings() { state().files.clear(); }

}  // namespace varlo
