// The script host: slots, loading with continuation lines, runs from a
// label and their result codes.
#include "script/host.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>

#include "console/console.h"
#include "base/codepage.h"
#include "base/plain_text.h"
#include "script/commands.h"
#include "script/lexer.h"
#include "script/output.h"

namespace varlo {

namespace {

namespace fs = std::filesystem;

// Larger files are no scripts; reading them would only exhaust memory.
constexpr std::uintmax_t kMaxScriptBytes = 64u << 20;

int64_t tempoStart = 0;
bool interpreterStarted = false;

// Kept aside so that running out of memory can still be reported: it is
// handed back before the report and taken again afterwards.
constexpr size_t kMemoryReserve = 8u << 20;
void* memoryReserve = nullptr;

void keepMemoryReserve() {
  if (!memoryReserve) memoryReserve = std::malloc(kMemoryReserve);
}

// The run that exhausted memory is over: its data goes with it, so that the
// report and the host after it find room.
void reportExhaustedMemory() {
  std::free(memoryReserve);
  memoryReserve = nullptr;
  releaseVariableValues();
  theInterp.reportErrors = true;
  theInterp.compileMode = false;
  reportError(cp("Memória insuficiente"));
  keepMemoryReserve();
}

// The file on disk: the path itself, or an entry of its directory whose
// name differs only in letter case.
std::string findOnDisk(const fs::path& path) {
  std::error_code ec;
  if (fs::is_regular_file(path, ec)) return path.string();
  return entryIgnoringCase(path.string(), true);
}

bool readFile(const std::string& path, std::string& contents) {
  std::error_code ec;
  auto size = fs::file_size(path, ec);
  if (ec || size > kMaxScriptBytes) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  contents = buffer.str();
  return true;
}

std::string trimmed(std::string_view text) {
  size_t a = 0, b = text.size();
  while (a < b && isBlankChar(uint8_t(text[a]))) ++a;
  while (b > a && isBlankChar(uint8_t(text[b - 1]))) --b;
  return std::string(text.substr(a, b - a));
}

// The .CMD rule: a lone SENAO followed by a line SE ... becomes SENAO SE.
void joinElseIf(std::vector<std::string>& lines) {
  bool previousElse = false;
  for (std::string& line : lines) {
    std::string word = fold(trimmed(line.substr(0, line.find(';'))));
    if (previousElse && word.size() > 3 && word.compare(0, 3, "SE ") == 0) line.insert(0, "&");
    previousElse = word == "SENAO";
  }
}

// The lines of a script, an empty one held as a blank.
std::vector<std::string> scriptLines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::string_view line : splitLines(text)) lines.emplace_back(line.empty() ? " " : line);
  return lines;
}

void storeLines(ScriptRec& r, std::vector<std::string>&& lines) {
  r.lines.assign(lines.size() + 1, CodeRec{});
  r.lines[0].text = " ";
  int32_t base = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    int32_t n = int32_t(i + 1);
    r.lines[size_t(n)].text = std::move(lines[i]);
    const std::string& text = r.lines[size_t(n)].text;
    if (text[0] != '&') {
      base = n;
      continue;
    }
    if (base == 0) continue;
    std::string rest = trimmed(std::string_view(text).substr(1));
    CodeRec& baseLine = r.lines[size_t(base)];
    if (!rest.empty()) baseLine.text += " " + rest;
    ++baseLine.lineCount;
  }
  r.lastLine = int32_t(lines.size());
}

int32_t freeSlotFor(const std::string& fullPath) {
  int32_t freeSlot = -1;
  for (int32_t n = 1; n < kScriptSlots; ++n) {
    const ScriptRec& r = scriptSlot(n);
    if (!r.free && r.path == fullPath) return n;
    if (r.free && freeSlot < 0) freeSlot = n;
  }
  return freeSlot < 0 ? -1 : -2 - freeSlot;  // -2 - n: slot n is free
}

int64_t modificationTime(const std::string& diskPath) {
  std::error_code ec;
  auto time = fs::last_write_time(diskPath, ec);
  return ec ? 0 : int64_t(time.time_since_epoch().count());
}

int32_t fillSlot(int32_t n, const std::string& fullPath, const std::string& contents) {
  ScriptRec& r = scriptSlot(n);
  std::vector<std::string> lines = scriptLines(textFromFile(contents));
  std::string extension = fullPath.size() >= 4 ? fullPath.substr(fullPath.size() - 4) : std::string();
  if (extension == ".CMD") joinElseIf(lines);
  r = ScriptRec{};
  storeLines(r, std::move(lines));
  r.free = false;
  r.path = fullPath;
  r.fileName = fs::path(fullPath).filename().string();
  r.currentLine = 1;
  return n;
}

int32_t loadInto(const std::string& fullPath, const std::string* text, const std::string& diskPath) {
  int32_t found = freeSlotFor(fullPath);
  if (found >= 0) return found;
  if (found == -1) return -1;
  int32_t n = -2 - found;
  std::string contents;
  if (text) contents = *text;
  else if (diskPath.empty() || !readFile(diskPath, contents)) return -1;
  try {
    fillSlot(n, fullPath, contents);
    if (!diskPath.empty()) scriptSlot(n).modified = modificationTime(diskPath);
    return n;
  } catch (const std::bad_alloc&) {
    scriptSlot(n) = ScriptRec{};
    return -1;
  }
}

std::string fullPathOf(std::string_view path) {
  std::error_code ec;
  fs::path full = fs::absolute(fs::path(std::string(path)), ec).lexically_normal();
  return upperAscii(full.string());
}

int64_t hundredthsOfWeek() {
  Date d = currentDate();
  Time t = currentTime();
  return (int64_t(d.weekday) * 24 + t.hour) * 360000 + t.minute * 6000 + t.second * 100 + t.hundredths;
}

void freeAllSlots() {
  for (int32_t n = 1; n < kScriptSlots; ++n) {
    if (!scriptSlot(n).free) freeScript(n);
  }
}

}  // namespace

int64_t tempoReference() { return tempoStart; }

namespace {

// No run going on: the stack empty, errors reported.
void endRunState() {
  InterpreterState& in = theInterp;
  unwindExecutionStack(0);
  in.frameBase = 0;
  in.currentScript = 0;
  in.currentFunction = nullptr;
  in.currentCommand = nullptr;
  in.reportErrors = true;
  in.compileMode = false;
}

}  // namespace

void resetInterpreter() {
  endRunState();
  freeAllSlots();
  ScriptRec& interactive = scriptSlot(0);
  interactive = ScriptRec{};
  interactive.free = false;
  setInteractiveLine(0, " ");
  clearTable();
  registerCommands();
  resetCommandState();
  resetObjectCounters();
  tempoStart = hundredthsOfWeek();
  keepMemoryReserve();
  interpreterStarted = true;
}

void startInterpreterOnce() {
  if (!interpreterStarted) resetInterpreter();
}

void releaseRunResources() {
  endRunState();
  resetCommandState();
}

void forgetChangedScript(std::string_view path) {
  std::string disk = findOnDisk(fs::path(std::string(path)));
  int32_t slot = freeSlotFor(fullPathOf(path));
  if (slot > 0 && scriptSlot(slot).modified != modificationTime(disk)) freeScript(slot);
}

std::string entryIgnoringCase(std::string_view name, bool regularOnly) {
  fs::path path{std::string(name)};
  std::error_code ec;
  fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
  std::string wanted = upperAscii(path.filename().string());
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    if (upperAscii(entry.path().filename().string()) == wanted && (!regularOnly || entry.is_regular_file(ec))) {
      return entry.path().string();
    }
  }
  return std::string();
}

int32_t loadScript(std::string_view path) {
  std::error_code ec;
  fs::path p{std::string(path)};
  std::string disk = findOnDisk(p);
  return loadInto(fullPathOf(path), nullptr, disk);
}

int32_t loadScriptText(std::string_view path, std::string_view contents) {
  std::string text(contents);
  return loadInto(fullPathOf(path), &text, std::string());
}

void freeScript(int32_t slot) {
  if (slot <= 0 || slot >= kScriptSlots) return;
  removeScript(slot);
  scriptSlot(slot) = ScriptRec{};
}

int32_t findStartLabel(int32_t slot, std::string_view label) {
  return findLabel(slot, nullptr, label);
}

void setExternalRoutine(int32_t slot, ExternalRoutine routine) {
  if (slot >= 0 && slot < kScriptSlots) scriptSlot(slot).external = routine;
}

namespace {

std::string lineTextOf(const ScriptRec& r, int32_t line) {
  if (line < 0 || size_t(line) >= r.lines.size()) return std::string();
  return r.lines[size_t(line)].text;
}

// Runs from the start line; an interruption ends the run as a success.
bool runGuarded(int32_t slot, int32_t start) {
  InterpreterState& in = theInterp;
  int32_t base = in.stackPointer;
  int32_t frameBase = in.frameBase;
  bool ok;
  try {
    ok = runScript(slot, start);
  } catch (const ScriptInterrupt& interruption) {
    in.reportErrors = true;
    in.compileMode = false;
    if (!scriptSlot(slot).ended) printLine(interruption.what());
    ok = true;
  } catch (const std::bad_alloc&) {
    unwindExecutionStack(base);
    reportExhaustedMemory();
    ok = false;
  }
  unwindExecutionStack(base);
  in.frameBase = frameBase;
  in.currentFunction = nullptr;
  in.currentScript = slot;
  return ok;
}

}  // namespace

RunOutcome runLoaded(int32_t slot, std::string_view label, bool freeAfter, ExternalRoutine routine) {
  RunOutcome out;
  out.message = "Erro na leitura do script";
  if (slot < 0 || slot >= kScriptSlots || scriptSlot(slot).free) {
    out.code = srNotRead;
    return out;
  }
  ScriptRec& r = scriptSlot(slot);
  int32_t savedScript = theInterp.currentScript;
  if (!compileScript(slot)) {
    out.code = srSyntax;
    out.line = r.currentLine;
    out.message = lineTextOf(r, out.line);
  } else {
    int32_t start = label.empty() ? 1 : findStartLabel(slot, label);
    if (start <= 0) {
      out.code = srNoLabel;
    } else {
      r.external = routine;
      r.failed = r.stop = r.ended = r.returning = false;
      bool ok = runGuarded(slot, start);
      out.line = r.currentLine;
      out.message = lineTextOf(r, out.line);
      out.code = ok ? srSuccess : srRunFailed;
    }
  }
  theInterp.currentScript = savedScript;
  if (freeAfter) freeScript(slot);
  return out;
}

RunOutcome executeScript(std::string_view path, std::string_view label) {
  return runLoaded(loadScript(path), label, false);
}

void reportResult(int code, std::string_view label) {
  switch (code) {
    case srRunFailed: printLine(cp("Erro de execução do script")); break;
    case srNotRead: printLine(cp("Script não foi achado")); break;
    case srNoLabel:
      printLine(cp("Rótulo não foi achado dentro do script"));
      printLine(label);
      break;
    default: break;
  }
}

}  // namespace varlo
