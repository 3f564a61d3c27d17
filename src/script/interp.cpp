// The statement driver, the run loops, the execution stack, the call
// protocol and the error reporter.
#include "script/interp.h"

#include <pthread.h>

#include <algorithm>
#include <array>
#include <chrono>

#include "console/console.h"
#include "base/codepage.h"
#include "script/commands.h"
#include "script/expr.h"
#include "script/output.h"
#include "script/plan.h"

namespace varlo {

InterpreterState theInterp;
StackRec theExecutionStack[kStackSize + 1];

void stopOnInterruptKey(int32_t line) {
  if (takeQueuedExtendedKey(key::CtrlF12)) {
    throw ScriptInterrupt(cp("Execução interrompida na linha ") + std::to_string(line));
  }
}

namespace {

std::array<ScriptRec, kScriptSlots> slots;

struct LineCheck {
  uint32_t tick = 0;
  uint64_t stepLimit = 0;
  uint64_t steps = 0;
  std::chrono::steady_clock::time_point lastPump{};
};
LineCheck lineCheck;

// Ctrl+F12 anywhere in the key queue stops the script: keys typed before it
// (for a later prompt) must not keep a runaway loop alive. Out of line, so
// that the check before every line stays small.
[[gnu::noinline]] void pollKeyboard(int32_t line) {
  auto now = std::chrono::steady_clock::now();
  if (now - lineCheck.lastPump > std::chrono::milliseconds(20)) {
    lineCheck.lastPump = now;
    pumpMessages();
  }
  stopOnInterruptKey(line);
}

[[gnu::noinline]] void stepLimitReached(int32_t line) {
  throw ScriptInterrupt(cp("Limite de passos atingido na linha ") + std::to_string(line));
}

// Done before every line a run loop executes.
[[gnu::always_inline]] inline void beforeLine(int32_t line) {
  if ((++lineCheck.tick & 255) == 0) pollKeyboard(line);
  if (lineCheck.stepLimit && ++lineCheck.steps > lineCheck.stepLimit) stepLimitReached(line);
}

// Whether the check before the next line would do nothing but count it (no
// keyboard poll due, no step limit reached).
inline bool quietLineCheck() {
  return ((lineCheck.tick + 1) & 255) != 0 && (!lineCheck.stepLimit || lineCheck.steps < lineCheck.stepLimit);
}

// Adds `lines` quiet checks to the count, as beforeLine would have made them.
inline void countQuietLines(uint64_t lines) {
  lineCheck.tick += uint32_t(lines);
  if (lineCheck.stepLimit) lineCheck.steps += lines;
}

// How many lines from now the check before each would only count it.
inline uint64_t quietLinesAhead() {
  uint64_t ahead = 255 - (lineCheck.tick & 255);
  if (lineCheck.stepLimit) ahead = std::min(ahead, lineCheck.stepLimit - std::min(lineCheck.steps, lineCheck.stepLimit));
  return ahead;
}

}  // namespace

bool countedQuietly(uint64_t lines) {
  if (quietLinesAhead() < lines) return false;
  countQuietLines(lines);
  return true;
}

namespace {

// Whether the line that comes next has a plan, that is, whether
// runQuickLines may have anything to do.
[[gnu::always_inline]] inline bool quickLineNext(const ScriptRec& r) {
  int32_t line = r.nextLine;
  if (r.returning || line <= 0 || line > r.lastLine) return false;
  return r.lines[size_t(line)].planState == plPlanned;
}

// After a quick line, the planned lines that follow run here while the
// check before each would only count it; the first other line is left to
// the run loop. Quick lines change nothing their plans depend on, so only
// the table generation and the scope are compared again, and their checks
// are counted together. Any other planned line may call, print or change
// the table: the checks are counted up to it before it runs, and the quiet
// stretch is measured again after it. False when such a line failed.
[[gnu::noinline]] bool runQuickLines(ScriptRec& r) {
  const InterpreterState& in = theInterp;
  const int32_t script = in.currentScript;
  uint64_t ahead = quietLinesAhead(), ran = 0;
  while (ran < ahead) {
    int32_t line = r.nextLine;
    if (r.returning || r.stop || line <= 0 || line > r.lastLine) break;
    CodeRec& code = r.lines[size_t(line)];
    if (code.planState != plPlanned) break;
    LinePlan& plan = *code.plan;
    if (!namesPinned(plan)) break;
    if (plan.quick == qkNone) {
      SymtbEntry* entry = nullptr;
      if (r.trace || !quickPlanFits(plan, line) || !statementNamed(plan, entry)) break;
      countQuietLines(ran + 1);
      thePlannedCount += ran;
      ran = 0;
      r.currentLine = line;
      if (!runNamedStatement(r, plan, entry, line, code)) return false;
      // What the line changed may send the next lines the general way.
      if (in.currentScript != script || r.trace || !in.reportErrors || in.compileMode) return true;
      ahead = quietLinesAhead();
      continue;
    }
    if (plan.quick == qkIntegerWhile || plan.quick == qkEndFor) {
      QuickLoopRun run = runQuickLoop(r, line, ahead, ran);
      if (run == qlGaveWay) break;
      if (run == qlRan) continue;
    }
    r.currentLine = line;
    if (!ranQuickly(r, plan, code)) {
      missedQuickly(plan);
      break;  // the run loop takes it from its check on
    }
    ++ran;
  }
  countQuietLines(ran);
  thePlannedCount += ran;
  return true;
}

// Chooses the statement of the line whose first token is current.
SymtbEntry* chooseStatement(int32_t s, CodeRec& code, int32_t line) {
  if (theToken.kind != tkIdentifier) return &expressionStatement();
  if (code.command && line > 0) return code.command;
  SymtbEntry* e = findOrCreate(s, theInterp.currentFunction, theToken.text, false);
  if (!e || e->kind >= skVariable) {
    e = &assignOrCallStatement();
    if (line > 0) code.command = e;
  }
  return e;
}

void releaseEntry(StackRec& e) {
  releaseValue(e.var.value);
  e.var.position = -1;
}

// Pops and releases entries down to (not including) index `base`.
void popTo(int32_t base) {
  while (theInterp.stackPointer > base) releaseEntry(theExecutionStack[size_t(theInterp.stackPointer--)]);
}

struct CallerState {
  int32_t script;
  SymtbEntry* function;
  int32_t frameBase;
  int32_t line;
  int32_t nextLine;
};

CallerState saveCaller() {
  const InterpreterState& in = theInterp;
  const ScriptRec& r = slots[size_t(in.currentScript)];
  return {in.currentScript, in.currentFunction, in.frameBase, r.currentLine, r.nextLine};
}

void restoreCaller(const CallerState& c) {
  theInterp.currentScript = c.script;
  theInterp.currentFunction = c.function;
  theInterp.frameBase = c.frameBase;
  ScriptRec& r = slots[size_t(c.script)];
  r.currentLine = c.line;
  r.nextLine = c.nextLine;
}

// After a successful body: locals dropped, the return record checked and
// its value taken, the arguments released.
bool finishCall(int32_t savedPointer, Operand& result) {
  InterpreterState& in = theInterp;
  while (in.stackPointer > in.frameBase && theExecutionStack[size_t(in.stackPointer)].kind == stLocal) {
    releaseEntry(theExecutionStack[size_t(in.stackPointer--)]);
  }
  if (in.stackPointer != in.frameBase || theExecutionStack[size_t(in.frameBase)].kind != stReturn) {
    reportError(cp("Pilha Corrompida, RET não achado"));
    popTo(savedPointer);
    return false;
  }
  StackRec& record = theExecutionStack[size_t(in.frameBase)];
  result = record.var.value;
  record.var.value = Operand{};
  in.stackPointer = in.frameBase - 1;
  bool intact = true;
  while (in.stackPointer > savedPointer) {
    StackRec& e = theExecutionStack[size_t(in.stackPointer--)];
    if (e.kind != stArgument) intact = false;
    releaseEntry(e);
  }
  if (!intact) reportError("Pilha corrompida");
  return true;
}

const SymtbEntry* pendingCall = nullptr;

// A fresh entry on the execution stack, whose room was checked.
StackRec& pushEntry(uint8_t kind) {
  InterpreterState& in = theInterp;
  StackRec& e = theExecutionStack[size_t(++in.stackPointer)];
  e.kind = kind;
  e.script = in.currentScript;
  e.owner = nullptr;
  e.var.position = -1;
  e.var.value = Operand{};
  e.savedFrameBase = 0;
  e.savedLine = 0;
  e.argumentCount = 0;
  return e;
}

long errorReports = 0;

}  // namespace

std::string cp(std::string_view utf8) { return utf8ToCp1252(utf8); }

ScriptRec& scriptSlot(int32_t n) { return slots[size_t(n)]; }

std::string quoted(std::string_view name) {
  std::string out = "\"";
  out += name;
  out += '"';
  return out;
}

void reportAt(int32_t line, std::string_view message) {
  if (!theInterp.reportErrors) return;
  ++errorReports;
  int32_t s = theInterp.currentScript;
  if (s > 0 && line > 0) {
    const ScriptRec& r = slots[size_t(s)];
    if (!r.fileName.empty()) {
      printLine("Erro no script " + r.fileName + ", linha " + std::to_string(line) + ":");
      printLine(message);
    } else {
      printLine("Erro na linha " + std::to_string(line) + ": " + std::string(message));
    }
    return;
  }
  printLine(message);
}

void reportError(std::string_view message) { reportAt(currentScript().currentLine, message); }

void reportWithoutLine(std::string_view message) {
  if (!theInterp.reportErrors) return;
  ++errorReports;
  printLine(message);
}

long errorReportCount() { return errorReports; }

bool fail(std::string_view message) {
  reportError(message);
  return false;
}

void setIoStatus(int32_t status) { currentScript().ioStatus = status; }
int32_t ioStatus() { return currentScript().ioStatus; }

const std::shared_ptr<const LineTokens>& scriptLineTokens(int32_t script, int32_t line) {
  CodeRec& code = slots[size_t(script)].lines[size_t(line)];
  if (!code.tokens) {
    code.tokens = cutLine(code.text + '\n');
    reportLineErrors(line, *code.tokens);
  }
  return code.tokens;
}

void startScriptLine(int32_t script, int32_t line) {
  startLine(line, scriptLineTokens(script, line), line == 0);
}

void reportLeftover(std::string_view raw) {
  reportError("A linha deveria terminar onde aparece " + quoted(raw));
}

void setInteractiveLine(int32_t script, std::string_view text) {
  ScriptRec& r = slots[size_t(script)];
  if (r.lines.empty()) r.lines.resize(1);
  CodeRec& code = r.lines[0];
  code = CodeRec{};
  code.text = text.empty() ? std::string(" ") : std::string(text);
}

namespace {

// A line read from its tokens: the statement chosen by its first word.
[[gnu::noinline]] bool readLine(ScriptRec& r, int32_t s, int32_t line, CodeRec& code) {
  startScriptLine(s, line);
  if (line > 0) r.nextLine = code.next;
  if (r.trace) printLine(code.text);
  if (scan() == tkLabel && scan() == tkColon) scan();
  if (theToken.kind == tkEnd) {
    r.failed = false;
    return true;
  }
  bool ok;
  SymtbEntry* statement = chooseStatement(s, code, line);
  if (statement->kind == skNew || statement->kind > skEnd) {
    ok = fail("Esperava um comando");
  } else if (s == 0 && statement->kind > skIfLine) {
    ok = fail("O comando " + quoted(theToken.text) + cp(" não é válido no modo interativo"));
  } else {
    mark();
    scan();
    const SymtbEntry* outer = theInterp.currentCommand;
    theInterp.currentCommand = statement;
    ok = statement->command();
    theInterp.currentCommand = outer;
    if (theToken.kind != tkEnd) reportLeftover(theToken.raw);
  }
  slots[size_t(s)].failed = !ok;
  return ok;
}

// Line `line` (at most the last one) of script s, which is r. Every line
// the run loops execute goes through here, hence inline.
[[gnu::always_inline]] inline bool runLine(ScriptRec& r, int32_t s, int32_t line) {
  if (line < 0 || size_t(line) >= r.lines.size()) {
    r.failed = true;
    return false;
  }
  CodeRec& code = r.lines[size_t(line)];
  if (runQuickLine(r, line, code)) return !quickLineNext(r) || runQuickLines(r);
  bool ok;
  if (runPlannedLine(r, line, code, ok)) return ok;
  return readLine(r, s, line, code);
}

}  // namespace

bool executeLine(int32_t s, int32_t line) {
  ScriptRec& r = slots[size_t(s)];
  if (line > r.lastLine) {
    r.failed = true;
    return false;
  }
  return runLine(r, s, line);
}

bool runScript(int32_t s, int32_t start) {
  InterpreterState& in = theInterp;
  in.currentScript = s;
  ScriptRec& first = slots[size_t(s)];
  first.returning = first.stop = false;
  first.currentLine = start;
  for (;;) {
    int32_t script = in.currentScript;
    ScriptRec& r = slots[size_t(script)];
    int32_t line = r.currentLine;
    if (r.stop || line > r.lastLine) return true;
    beforeLine(line);
    if (!runLine(r, script, line)) return false;
    ScriptRec& now = slots[size_t(in.currentScript)];
    now.currentLine = now.nextLine;
  }
}

bool runFunctionBody(SymtbEntry& function) {
  InterpreterState& in = theInterp;
  ScriptRec& r = slots[size_t(in.currentScript)];
  r.currentLine = function.line;
  // A FUNCAO line with a quick plan is entered straight, with the quick
  // lines after it, rather than told from ordinary flow by the driver.
  bool entered = quietLineCheck() && enteredDirectly(r, function);
  if (entered) {
    countQuietLines(1);
    if (quickLineNext(r) && !runQuickLines(r)) return false;
  } else {
    pendingCall = &function;
  }
  while (!r.stop && r.currentLine <= r.lastLine) {
    if (!entered) {
      beforeLine(r.currentLine);
      if (!runLine(r, in.currentScript, r.currentLine)) return false;
    }
    entered = false;
    if (r.returning && in.currentFunction == &function) {
      r.returning = false;
      return true;
    }
    r.currentLine = r.nextLine;
  }
  return true;
}

void unwindExecutionStack(int32_t base) { popTo(base); }

const SymtbEntry* takePendingCall() {
  const SymtbEntry* f = pendingCall;
  pendingCall = nullptr;
  return f;
}

bool pushExecutionEntry(uint8_t kind) {
  if (theInterp.stackPointer >= kStackSize) return fail(cp("Estouro na pilha de execução"));
  pushEntry(kind);
  return true;
}

Arguments::~Arguments() {
  for (int i = 0; i < count; ++i) releaseValue(values[i]);
}

void parseArguments(std::string_view name, const SymtbEntry* f, Arguments& out) {
  bool builtin = f && f->kind == skBuiltin;
  int declared = declaredArguments(f);
  bool needParens = !builtin || (f->wordB & kBuiltinNeedsParens);
  bool parens = theToken.kind == tkLeftParen;
  if (parens) {
    scan();
  } else if (needParens) {
    reportMissingParentheses(name);
    return;
  }
  if (builtin && (f->wordB & kBuiltinHashAllowed) && theToken.kind == tkHash) scan();
  int given = 0;
  auto takeOne = [&]() {
    uint32_t before = theToken.position;
    const Token* at = theToken.current;
    addArgument(out, evaluate(1));
    ++given;
    if (theToken.kind == tkComma) {
      scan();
      return true;
    }
    return theToken.position != before || theToken.current != at;
  };
  if (parens) {
    while (theToken.kind != tkRightParen && theToken.kind != tkEnd) {
      if (!takeOne()) break;
    }
    if (theToken.kind == tkRightParen) scan();
    else reportError(cp("Faltou fechar parênteses na chamada da função ") + quoted(name));
  } else {
    while (given < declared && theToken.kind != tkEnd && theToken.kind != tkRightParen) {
      if (!takeOne()) break;
    }
  }
  finishArguments(name, declared, given, out);
}

void reportMissingParentheses(std::string_view name) {
  reportError(cp("A função ") + quoted(name) + " deve ser invocada com ()");
}

void reportTooManyArguments(std::string_view name, int declared) {
  std::string text = cp("A função ") + quoted(name) + " ";
  if (declared == 0) text += cp("não requer parâmetros");
  else if (declared == 1) text += cp("requer um parâmetro apenas");
  else text += cp("requer ") + std::to_string(declared) + cp(" parâmetros apenas");
  reportError(text);
}

bool callFunctionFromPlan(std::string_view name, SymtbEntry* f, Arguments& args, Operand& result) {
  InterpreterState& in = theInterp;
  result = undefinedValue();
  if (in.compileMode) return true;
  if (!f) return fail(cp("A função ") + quoted(name) + cp(" não foi definida"));
  if (!callWouldRun(args.count)) {
    return fail("Estouro na pilha de chamadas");
  }
  int32_t savedPointer = in.stackPointer;
  for (int i = args.count - 1; i >= 0; --i) {
    pushEntry(stArgument).var.value = args.values[i];
    args.values[i] = Operand{};
  }
  args.count = 0;
  CallerState caller = saveCaller();
  StackRec& record = pushEntry(stReturn);
  record.owner = in.currentFunction;
  record.savedLine = caller.line;
  record.savedFrameBase = in.frameBase;
  record.argumentCount = in.stackPointer - 1 - savedPointer;
  record.var.value = undefinedValue();
  in.frameBase = in.stackPointer;
  bool user = f->kind == skFunction;
  if (user) in.currentScript = f->home;
  in.currentFunction = f;
  bool ok = user ? runFunctionBody(*f) : f->builtin(*f);
  if (ok) ok = finishCall(savedPointer, result);
  if (!ok) {
    popTo(savedPointer);
    result = undefinedValue();
  }
  restoreCaller(caller);
  return ok;
}

bool callFunction(std::string_view name, SymtbEntry* f, Arguments& args, Operand& result) {
  // A user function's lines start their own token reading before any use
  // of it, so the caller's state is moved aside rather than copied.
  bool user = f && f->kind == skFunction;
  TokenRec savedToken = user ? TokenRec(std::move(theToken)) : TokenRec(theToken);
  bool ok = callFunctionFromPlan(name, f, args, result);
  theToken = std::move(savedToken);
  return ok;
}

int argumentCount() { return theExecutionStack[size_t(theInterp.frameBase)].argumentCount; }

Operand& argument(int i) {
  // A call refused for missing parentheses passes no arguments at all.
  if (i < 1 || i > argumentCount()) {
    static Operand none;
    releaseValue(none);
    none = undefinedValue();
    return none;
  }
  return theExecutionStack[size_t(theInterp.frameBase - i)].var.value;
}

void setResult(Operand&& value) {
  Operand& slot = theExecutionStack[size_t(theInterp.frameBase)].var.value;
  releaseValue(slot);
  slot = value;
  value = Operand{};
}

void setStepLimit(uint64_t lines) {
  lineCheck.stepLimit = lines;
  lineCheck.steps = 0;
}

uintptr_t findStackFloor() {
  pthread_attr_t attr;
  void* address = nullptr;
  size_t size = 0;
  if (pthread_getattr_np(pthread_self(), &attr) == 0) {
    pthread_attr_getstack(&attr, &address, &size);
    pthread_attr_destroy(&attr);
  }
  // Keep a margin for the deepest handler and the sanitizers' larger frames.
  constexpr size_t kMargin = 512 * 1024;
  // An unknown stack is never reported low (1 only marks it as looked at).
  return address ? reinterpret_cast<uintptr_t>(address) + kMargin : 1;
}

bool runInteractiveLine(std::string_view text) {
  setInteractiveLine(0, text);
  theInterp.currentScript = 0;
  theInterp.currentFunction = nullptr;
  ScriptRec& r = slots[0];
  r.currentLine = 0;
  return executeLine(0, 0);
}

}  // namespace varlo
