// Built-in functions on files: ABREARQ, FIMARQ (FDA), CONTEUDO and
// DIRETORIO.
#include <fnmatch.h>

#include <algorithm>
#include <filesystem>

#include "base/codepage.h"
#include "script/cmd_descriptors.h"
#include "script/cmd_json.h"
#include "script/interp.h"
#include "script/lexer.h"

namespace varlo {

namespace {

namespace fs = std::filesystem;

bool descriptorNumber(const Operand& v, int& n) {
  Operand number = toInteger(v);
  bool ok = number.tag == Tag::integer && number.first >= 0 && number.first < kDescriptorCount;
  if (ok) n = number.first;
  releaseValue(number);
  return ok;
}

Operand linesOf(const std::string& text) {
  Operand list = newList();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    size_t stop = end > start && text[end - 1] == '\r' ? end - 1 : end;
    listAppend(list, stringValue(text.substr(start, stop - start)));
    start = end + 1;
  }
  return list;
}

// The kind argument in upper case; "" when none was given.
std::string kindText(const Operand& v) {
  return v.tag == Tag::string ? fold(textOf(v)) : std::string();
}

enum class Listing { all, directories, files };

bool wanted(const fs::directory_entry& entry, Listing listing) {
  std::error_code ec;
  if (listing == Listing::directories) return entry.is_directory(ec);
  if (listing == Listing::files) return entry.is_regular_file(ec);
  return true;
}

// The directory and a mask: a last component with * or ? is a mask.
void splitMask(std::string& dir, std::string& mask) {
  size_t slash = dir.find_last_of('/');
  std::string last = slash == std::string::npos ? dir : dir.substr(slash + 1);
  mask = "*";
  if (last.find_first_of("*?") == std::string::npos) return;
  mask = last == "*.*" ? "*" : last;
  dir = slash == std::string::npos ? "." : dir.substr(0, slash + 1);
}

}  // namespace

bool fnOpenFile(const SymtbEntry&) {
  int n = 0;
  const Operand& name = argument(2);
  const Operand& mode = argument(3);
  if (!descriptorNumber(argument(1), n) || name.tag != Tag::string || mode.tag != Tag::string) return false;
  std::string m = fold(textOf(mode));
  if (m != "L" && m != "E" && m != "A") return false;
  bool ok = openTextDescriptor(n, textOf(name), m[0]);
  setIoStatus(ok ? 0 : 1);
  setResult(integerValue(ok ? 1 : 0));
  return true;
}

bool fnEndOfFile(const SymtbEntry&) {
  int n = 0;
  if (!descriptorNumber(argument(1), n)) return false;
  setResult(integerValue(descriptorAtEnd(n) ? 1 : 0));
  return true;
}

bool fnContents(const SymtbEntry&) {
  const Operand& name = argument(1);
  std::string kind = kindText(argument(2));
  if (argument(2).tag != Tag::undefined && kind != "LISTA" && kind != "JSON") return false;
  std::string text;
  if (name.tag != Tag::string || !readWholeFile(textOf(name), text)) {
    setIoStatus(1);
    return true;
  }
  setIoStatus(0);
  if (kind == "JSON") {
    size_t at = 0;
    Operand v = readJson([&]() { return at < text.size() ? int(uint8_t(text[at++])) : -1; }, false);
    if (v.tag == Tag::invalid) {
      setIoStatus(1);
      return false;
    }
    setResult(std::move(v));
    return true;
  }
  setResult(linesOf(text));
  return true;
}

bool fnDirectory(const SymtbEntry&) {
  const Operand& dir = argument(1);
  if (dir.tag != Tag::string) return false;
  std::string kind = kindText(argument(2));
  Listing listing = Listing::all;
  if (kind == "DIR") {
    listing = Listing::directories;
  } else if (kind == "ARQ") {
    listing = Listing::files;
  } else if (argument(2).tag != Tag::undefined && kind != "TUDO") {
    reportError(cp("Argumento inválido para a função DIRETÓRIO: ") + valueText(argument(2)));
  }
  std::string path = scriptFilePath(textOf(dir), true), mask;
  if (path.empty()) path = ".";
  splitMask(path, mask);
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(path, ec)) {
    std::string name = entry.path().filename().string();
    if (wanted(entry, listing) && fnmatch(mask.c_str(), name.c_str(), FNM_CASEFOLD) == 0) {
      names.push_back(utf8ToCp1252(name));
    }
  }
  setIoStatus(ec ? 1 : 0);
  std::sort(names.begin(), names.end());
  Operand list = newList();
  for (std::string& name : names) listAppend(list, stringValue(std::move(name)));
  setResult(std::move(list));
  return true;
}

}  // namespace varlo
