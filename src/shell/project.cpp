// The project directory and the selection: changing into it, listing its
// texts or parts, and choosing a file from it.
#include "shell/project.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "console/console.h"
#include "widgets/file_chooser.h"
#include "speech/speech.h"
#include "base/codepage.h"
#include "base/name_order.h"
#include "shell/app_state.h"
#include "speech/messages.h"

namespace varlo {

namespace {

bool endsWithNoCase(const std::string& name, std::string_view suffix) {
  if (name.size() < suffix.size()) return false;
  return std::equal(suffix.begin(), suffix.end(), name.end() - suffix.size(),
                    [](char a, char b) { return std::toupper((unsigned char)a) == std::toupper((unsigned char)b); });
}

bool matchesKind(const std::string& name, char kind) {
  if (kind == 'T') return endsWithNoCase(name, ".TXT");
  if (kind == 'P') return endsWithNoCase(name, ".PAR");
  return true;
}

bool isRegularFile(const std::string& name) {
  struct stat st{};
  return stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void sayLeftOut(long long count) {
  beep();
  writeSpeak(utf8ToCp1252("A seleção comporta " + std::to_string(kMaxSelection) +
                          " arquivos; ficaram de fora: "));
  writeNumberSpeak(count);
  writeText("\r\n");
}

}  // namespace

bool TrocaDir(const std::string& directory) {
  if (chdir(directory.c_str()) == 0) return true;
  // Missing parents are made too, so a fresh suite gets its scripts directory.
  std::error_code ec;
  std::filesystem::create_directories(directory, ec);
  if (!ec && chdir(directory.c_str()) == 0) return true;
  for (int i = 0; i < 3; ++i) beep();
  writeLineSpeak("- ERRO - Function TrocaDir");
  return false;
}

std::string fullDirectoryPath(const std::string& typed) {
  std::string path = typed;
  const char* home = std::getenv("HOME");
  if (home && (path == "~" || path.rfind("~/", 0) == 0)) path = home + path.substr(1);
  if (path.empty() || path[0] == '/') return path;
  char here[4096];
  if (!getcwd(here, sizeof here)) return path;
  std::string base = here;
  return base + (base.back() == '/' ? "" : "/") + path;
}

bool listByKind(char kind, std::string_view prefix) {
  AppState& s = appState();
  if (s.noTextFiles && s.noPartFiles) return false;
  s.selection.clear();
  DIR* dir = opendir(".");
  if (!dir) return false;
  std::vector<std::string> names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == ".." || !matchesKind(name, kind) || !name.starts_with(prefix) ||
        !isRegularFile(name))
      continue;
    names.push_back(name);
  }
  closedir(dir);
  // Listed, converted and announced by name, parts in their numbers' order.
  sortNames(names);
  // More than the selection can hold are left out, and the user is told how
  // many, so that no book is silently skipped.
  long long leftOut = std::max<long long>(0, static_cast<long long>(names.size()) - kMaxSelection);
  names.resize(names.size() - static_cast<size_t>(leftOut));
  if (!names.empty()) writeText("\r\n");
  for (const std::string& name : names) writeText(utf8ToCp1252(name) + "\r\n");
  s.selection = std::move(names);
  if (leftOut > 0) sayLeftOut(leftOut);
  flushKeys();
  return !s.selection.empty();
}

bool recheckEmptyProject() {
  AppState& s = appState();
  if (!(s.noTextFiles && s.noPartFiles)) return false;
  DIR* dir = opendir(".");
  if (!dir) return false;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (!isRegularFile(name)) continue;
    if (matchesKind(name, 'T')) s.noTextFiles = false;
    if (matchesKind(name, 'P')) s.noPartFiles = false;
  }
  closedir(dir);
  return listByKind(s.noTextFiles ? 'P' : 'T');
}

std::string chooseListedFile(std::string_view messageKey, std::string_view mask,
                             std::string_view sharedDirectory, std::string_view sharedMark) {
  sayMessage(messageKey, 1);
  makeRoom(11);
  std::string file = askFileName(10, mask, sharedDirectory, sharedMark);
  writeText(file + "\r\n");
  return file;
}

bool fileCanBeOpened(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return static_cast<bool>(in);
}

}  // namespace varlo
