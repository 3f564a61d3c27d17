// The interpreter: script slots, the statement driver and run loops, the
// execution stack and call protocol, and the error reporter that every part
// of the script language uses.
//
// Text is Windows-1252. Portuguese literals in the sources are UTF-8 and go
// through cp() once where they are used.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "script/lexer.h"
#include "script/symbols.h"
#include "script/value.h"

namespace varlo {

// UTF-8 source literal to Windows-1252.
std::string cp(std::string_view utf8);

constexpr int kScriptSlots = 128;
constexpr int kStackSize = 2048;
constexpr int kMaxArguments = 32;

struct LinePlan;

struct CodeRec {
  std::string text;                  // without the line feed
  int32_t lineCount = 1;             // 1 + continuation lines joined here
  SymtbEntry* function = nullptr;    // enclosing user function
  SymtbEntry* command = nullptr;     // cached statement of the line
  int32_t link = 0;
  int32_t next = 0;
  std::shared_ptr<const LineTokens> tokens;  // cut on first use
  std::shared_ptr<LinePlan> plan;            // pre-analysed form (plan.h)
  uint8_t planState = 0;                     // PlanState
  uint8_t planRebuilds = 0;                  // plans dropped so far
};

using ExternalRoutine = std::string (*)(std::string_view request);

struct ScriptRec {
  bool free = true;
  std::string path;                  // full path, upper case
  std::string fileName;              // last component
  int64_t modified = 0;              // the file's modification time when loaded
  bool compiled = false;
  std::vector<CodeRec> lines;        // [0] is the interactive line
  int32_t lastLine = 0;
  ExternalRoutine external = nullptr;
  int32_t currentLine = 0;
  int32_t nextLine = 0;
  int32_t ioStatus = 0;
  bool failed = false, returning = false, trace = false, stop = false, ended = false;
};

enum StackKind : uint8_t { stReturn = 0, stArgument = 1, stLocal = 2 };

struct StackRec {
  uint8_t kind = stReturn;
  int32_t script = 0;
  SymtbEntry* owner = nullptr;
  VarCell var;                       // iterator position and value
  int32_t savedFrameBase = 0;
  int32_t savedLine = 0;
  int32_t argumentCount = 0;         // return record of a call
};

struct InterpreterState {
  int32_t currentScript = 0;
  SymtbEntry* currentFunction = nullptr;
  int32_t frameBase = 0;
  int32_t stackPointer = 0;
  bool reportErrors = true;
  bool compileMode = false;
  const SymtbEntry* currentCommand = nullptr;   // statement being run
};
extern InterpreterState theInterp;

// An interruption unwinds to the host (Ctrl+F12, TERMINA in a function, the
// step limit).
struct ScriptInterrupt : std::runtime_error {
  using std::runtime_error::runtime_error;
};

ScriptRec& scriptSlot(int32_t n);
inline ScriptRec& currentScript() { return scriptSlot(theInterp.currentScript); }
// The execution stack; entry 0 is never used. Read on every local a line
// names, hence visible here.
extern StackRec theExecutionStack[kStackSize + 1];
inline StackRec& stackEntry(int32_t index) { return theExecutionStack[index]; }  // 1 ... stackPointer

// Error reporter (nothing is printed while report-errors is off).
void reportAt(int32_t line, std::string_view message);
void reportError(std::string_view message);
// A complaint printed as it stands (a stray token inside a literal).
void reportWithoutLine(std::string_view message);
// Errors reported so far, so that a reader can tell whether its text was
// taken without complaint.
long errorReportCount();
// Report and return false, the usual end of a failing handler.
bool fail(std::string_view message);
// A name between double quotes, as the messages show it.
std::string quoted(std::string_view name);

// I/O status of the current script (CHECA).
void setIoStatus(int32_t status);
int32_t ioStatus();

// Statement driver and run loops.
bool executeLine(int32_t script, int32_t line);
bool runScript(int32_t script, int32_t startLine);
bool runFunctionBody(SymtbEntry& function);
void setInteractiveLine(int32_t script, std::string_view text);
// Starts the lexer on a line of a script (cutting its tokens once).
void startScriptLine(int32_t script, int32_t line);
// The tokens of a line of a script, cut once.
const std::shared_ptr<const LineTokens>& scriptLineTokens(int32_t script, int32_t line);
// The driver's complaint about a token left over at the end of a statement.
void reportLeftover(std::string_view raw);

// Calls.
struct Arguments {
  int count = 0;
  // Only the first `count` are ever written or read: left uninitialised,
  // as every call would otherwise clear all of them.
  union {
    Operand values[kMaxArguments];
  };
  Arguments() {}
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;
  ~Arguments();
};
void parseArguments(std::string_view name, const SymtbEntry* function, Arguments& out);
// The pieces of parseArguments, for pre-analysed lines: the declared count
// (32 for an unknown function), the refusal of a call without parentheses,
// one argument (invalid passes as undefined; beyond 32 dropped), and the
// check of the count with the padding by undefined values.
// Inline, as every call of a pre-analysed line goes through them.
inline int declaredArguments(const SymtbEntry* function) {
  return !function ? kMaxArguments : function->kind == skBuiltin ? function->wordA : function->wordB;
}
void reportMissingParentheses(std::string_view name);
inline void addArgument(Arguments& out, Operand&& v) {
  if (v.tag == Tag::invalid) v = undefinedValue();
  if (out.count < kMaxArguments) out.values[out.count++] = v;
  else releaseValue(v);
  v = Operand{};
}
void reportTooManyArguments(std::string_view name, int declared);
inline void finishArguments(std::string_view name, int declared, int given, Arguments& out) {
  if (given > declared) reportTooManyArguments(name, declared);
  while (out.count < declared && out.count < kMaxArguments) out.values[out.count++] = undefinedValue();
}
// The result is undefined when the call failed.
bool callFunction(std::string_view name, SymtbEntry* function, Arguments& args, Operand& result);
// The same for a pre-analysed line, which reads no tokens: the lexer state
// is left to the callee.
bool callFunctionFromPlan(std::string_view name, SymtbEntry* function, Arguments& args, Operand& result);
bool pushExecutionEntry(uint8_t kind);
// Pops and releases execution-stack entries above `base`.
void unwindExecutionStack(int32_t base);
// The function a call is entering (FUNCAO tells a call from ordinary flow).
const SymtbEntry* takePendingCall();

// Inside a built-in function: argument i (1-based; undefined beyond the
// arguments passed) and the result.
int argumentCount();
Operand& argument(int i);
void setResult(Operand&& value);

// True when the native stack is nearly used up: deep recursion is refused
// before it can crash the program. Checked before every line, hence inline.
uintptr_t findStackFloor();
inline bool nativeStackLow() {
  thread_local uintptr_t floor = 0;
  if (!floor) floor = findStackFloor();
  char here;
  return reinterpret_cast<uintptr_t>(&here) < floor;
}

// When the checks before the next `lines` lines would only count them,
// counts them as if those lines had run; false (nothing counted) otherwise.
bool countedQuietly(uint64_t lines);

// Whether a call with `arguments` arguments would be made now: not only
// checked (compile mode), and with room on both stacks for its frame.
inline bool callWouldRun(int arguments) {
  const InterpreterState& in = theInterp;
  return !in.compileMode && in.stackPointer + arguments + 1 <= kStackSize && !nativeStackLow();
}

// Ctrl+F12 anywhere in the key queue ends the running script: throws the
// interruption for the line. Long waits of commands call it too.
void stopOnInterruptKey(int32_t line);

// The running script stops at the next line check with this interruption
// text after so many more lines (0: no limit). For fuzzing and tests.
void setStepLimit(uint64_t lines);

// Interactive mode: run one line typed by the user in slot 0.
bool runInteractiveLine(std::string_view text);

}  // namespace varlo
