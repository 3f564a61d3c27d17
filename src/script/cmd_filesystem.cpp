// BUSCA, DIR, REMOVE, RENOMEIA and REPLICA: finding, making and changing
// files and directories. Failures of the system set the I/O status; those
// the command names a message for are reported as well.
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "base/codepage.h"
#include "base/regular_file.h"
#include "platform/file_moves.h"
#include "script/cmd_descriptors.h"
#include "script/cmd_operands.h"
#include "script/interp.h"

namespace varlo {

namespace {

namespace fs = std::filesystem;

// The running search of BUSCA: the names found, in order, and the next one.
struct FileSearch {
  bool running = false;
  std::vector<std::string> names;
  size_t next = 0;
} search;

// Names in the directory of the pattern matching its last component
// (letter case aside), sorted; directories only when wanted, else files.
std::vector<std::string> matchingNames(std::string_view pattern, bool directories) {
  std::string path = cp1252ToUtf8(pattern);
  std::replace(path.begin(), path.end(), '\\', '/');
  size_t slash = path.find_last_of('/');
  std::string mask = path, dir = ".";
  if (slash != std::string::npos) {
    mask.erase(0, slash + 1);
    dir.assign(path, 0, slash + 1);
  }
  if (mask.empty() || mask == "*.*") mask = "*";
  dir = scriptFilePath(utf8ToCp1252(dir), true);
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    std::string name = entry.path().filename().string();
    std::error_code kind;
    if (entry.is_directory(kind) != directories) continue;
    if (fnmatch(mask.c_str(), name.c_str(), FNM_CASEFOLD) == 0) {
      names.push_back(utf8ToCp1252(name));
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The next name of the running search, "" (and the search ends) after the last.
std::string nextFound() {
  if (search.next < search.names.size()) return search.names[search.next++];
  search = FileSearch{};
  return "";
}

}  // namespace

// BUSCA var [[DIR] pattern | PROXIMO]
bool cmdSearchFiles() {
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  if (theToken.kind == tkEnd) {
    std::error_code ec;
    std::string here = fs::current_path(ec).string();
    setIoStatus(ec ? 1 : 0);
    return assignLvalue(target, stringValue(utf8ToCp1252(here)));
  }
  if (isWord("PROXIMO")) {
    scan();
    if (!search.running) return failLine(cp("Uso indevido do modificador PRÓXIMO"));
    std::string name = nextFound();
    setIoStatus(name.empty() ? 1 : 0);
    return assignLvalue(target, stringValue(std::move(name)));
  }
  bool directories = isWord("DIR") && nextTokenKind() != tkEnd;
  if (directories) scan();
  std::string pattern;
  if (theToken.kind == tkEnd || !readString(pattern, false) || pattern.empty()) {
    return failLine(cp("Esperava cadeia com padrão de busca"));
  }
  search = FileSearch{true, matchingNames(pattern, directories), 0};
  std::string name = nextFound();
  setIoStatus(name.empty() ? 1 : 0);
  return assignLvalue(target, stringValue(std::move(name)));
}

namespace {

bool takeName(std::string& name) {
  return theToken.kind != tkEnd && readString(name, false) && !name.empty();
}

bool readName(std::string& name, const char* message) {
  return takeName(name) || failLine(cp(message));
}

// Two names, a comma between them or not.
bool readTwoNames(std::string& first, std::string& second, const char* message) {
  bool ok = takeName(first);
  if (ok && theToken.kind == tkComma) scan();
  return (ok && takeName(second)) || failLine(cp(message));
}

// Reports the failure of a system call with the message and the name.
bool systemFailure(const char* message, const std::string& name) {
  setIoStatus(1);
  return failLine(cp(message) + name);
}

}  // namespace

// DIR CRIA|REMOVE|TROCA name
bool cmdDirectory() {
  int action = isWord("CRIA") ? 0 : isWord("REMOVE") ? 1 : isWord("TROCA") ? 2 : -1;
  if (action < 0) return failLine("Esperava CRIA, REMOVE ou TROCA");
  scan();
  std::string name;
  if (!readName(name, "Esperava um nome")) return false;
  std::string path = scriptFilePath(name, action != 0);
  int result = action == 0 ? mkdir(path.c_str(), 0777) : action == 1 ? rmdir(path.c_str()) : chdir(path.c_str());
  if (result != 0) return systemFailure("Erro no processamento do diretório ", name);
  setIoStatus(0);
  return true;
}

// REMOVE name: a file, never a directory.
bool cmdRemoveFile() {
  std::string name;
  if (!readName(name, "Esperava um nome de arquivo")) return false;
  std::string path = scriptFilePath(name, true);
  if (unlink(path.c_str()) != 0) return systemFailure("Erro no apagamento do arquivo ", name);
  setIoStatus(0);
  return true;
}

// RENOMEIA old new: a file that already has the new name is never replaced;
// a move to another file system fails with the I/O status.
bool cmdRename() {
  std::string from, to;
  if (!readTwoNames(from, to, "Esperava dois nomes de arquivos para o comando RENOMEIA")) return false;
  std::string source = scriptFilePath(from, true);
  std::string target = scriptFilePath(to, false);
  setIoStatus(renameWithoutReplacing(source, target) ? 0 : 1);
  return true;
}

// REPLICA source target
bool cmdCopyFile() {
  std::string from, to;
  if (!readTwoNames(from, to, "Esperava nomes de arquivos para o comando REPLICA")) return false;
  std::string source = scriptFilePath(from, true);
  std::string target = scriptFilePath(to, true);
  std::error_code ec;
  int in = openRegularFd(source, O_RDONLY);
  if (in < 0) return systemFailure("Erro na leitura do arquivo ", from);
  close(in);
  // A copy onto itself, or onto a directory, would lose the file.
  bool same = fs::exists(target, ec) && fs::equivalent(source, target, ec);
  if (same || fs::is_directory(target, ec) || !copyFileReplacing(source, target)) {
    return systemFailure("Erro na escrita do arquivo ", to);
  }
  setIoStatus(0);
  return true;
}

void endFileSearch() { search = FileSearch{}; }

}  // namespace varlo
