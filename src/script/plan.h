// Pre-analysed lines. The statement driver re-reads a line's tokens every
// time the line runs; a line that runs again (a loop body, a function) is
// analysed once into a plan instead: its statement, and its expressions
// compiled to the stack machine's code (bytecode.h) over names that keep
// their resolution. Running the plan does
// exactly what reading the tokens would do, in the same order, with the
// same messages.
//
// A line is planned only when its meaning is fixed by its tokens and by
// what its names resolve to. The names are checked again whenever the
// symbol table has changed (a variable that became a function, a script
// removed or reloaded, a SUPERGLOBAL or local that now hides a name); a
// plan that no longer fits is dropped before the line does anything, and
// the line is read from its tokens. Lines whose evaluation could change
// the meaning of their own later names (a call before a SUPERGLOBAL name)
// and lines with anything unusual (lexical errors, missing brackets, the
// words E and OU inside brackets) are never planned.
//
// Plans of a quick form (integer assignments and conditions, loop ends,
// FUNCAO, RETORNA of an integer) run straight from the run loops, several
// in a row, when their values turn out to be integers: nothing they do can
// fail, print, call or change what plans depend on. Any other value sends
// the line the general way, from the start, as if it had not been tried.
// A loop made only of such lines runs in whole rounds (plan_loop.cpp); a call of a function that only
// returns integer arithmetic is computed in place (plan_inline.cpp). After
// a quick line, the planned lines that follow run without going back to
// the run loop while the checks before them would only count them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "script/bytecode.h"
#include "script/expr.h"
#include "script/flow.h"
#include "script/interp.h"
#include "script/lexer.h"
#include "script/symbols.h"

namespace varlo {

enum PlanStatement : uint8_t {
  psAssign,       // name [selectors] := expression
  psCall,         // a line that is a call expression
  psIf,           // SE / SENAO SE condition [ENTAO]
  psOneLineIf,    // SE condition [ENTAO] statement (the statement is read)
  psWhile,        // ENQUANTO condition [FACA]
  psNothing,      // SENAO, FIM SE
  psEndWhile,
  psEndFor,
  psReturn,       // RETORNA [expression], FIM FUNCAO
  psContinue,
  psForBounds,    // PARA v [DE] a [.. | ATE | A] b [CRESCENDO | DECRESCENDO] [FACA]
  psForIn,        // PARA v EM expression [FACA]
  psFunction,     // FUNCAO name [(parameters)]
};

// Lines that make up most of a loop's work and can neither fail, report
// nor call anything when their arithmetic stays on integers: they run with
// less of the driver's bookkeeping (plan_run.cpp).
enum QuickForm : uint8_t {
  qkNone,
  qkIntegerAssign,   // name := integer arithmetic, number or name
  qkElementAssign,   // list[i] := integer arithmetic, number or name
  qkIntegerThen,     // SE integer arithmetic [ENTAO] name := integer arithmetic
  qkIntegerThenReturn,  // SE integer arithmetic [ENTAO] RETORNA [integer arithmetic]
  qkIntegerIf,       // SE / SENAO SE on integer arithmetic
  qkIntegerWhile,    // ENQUANTO on integer arithmetic
  qkEndWhile,
  qkEndFor,
  qkNothing,         // SENAO, FIM SE
  qkFunction,        // FUNCAO, when its parameters are known variables
  qkReturn,          // RETORNA [integer arithmetic, number or name] in a function
};

// A parameter of FUNCAO with the entry it declared last time.
struct PlanParameter {
  const Token* token = nullptr;
  SymtbEntry* entry = nullptr;
  uint32_t generation = 0;
};

struct LoopCode;
struct InlineCode;

struct LinePlan {
  PlanStatement statement = psNothing;
  QuickForm quick = qkNone;
  uint8_t quickMisses = 0;                // quick runs that gave way so far
  SymtbEntry* command = nullptr;          // the statement entry of the line
  std::shared_ptr<const LineTokens> tokens;
  std::shared_ptr<const LineTokens> loopTokens;  // FIM PARA: the PARA line
  Chunk chunk;                            // the expressions' code and names
  uint32_t expression = kNoCode;          // value, condition, first bound
  uint32_t second = kNoCode;              // last bound of PARA
  bool downward = false;                  // PARA ... DECRESCENDO
  const Token* name = nullptr;            // target, called name, loop variable
  SymtbEntry* nameEntry = nullptr;        // what name resolved to when checked
  // The target's index lists (expressions), and its index alone when it
  // has one [i] (kNoCode otherwise).
  uint32_t pathFirst = 0, pathCount = 0, pathIndex = kNoCode;
  uint32_t rest = 0;                      // one-line SE: index of the next token
  // One-line SE: the assignment after ENTAO, when it could be planned
  // (thenName null otherwise), or RETORNA (thenReturn, its command); the
  // value is in thenExpression (none: kNoCode).
  const SymtbEntry* thenReturn = nullptr;
  const Token* thenName = nullptr;
  SymtbEntry* thenEntry = nullptr;
  uint32_t thenPathFirst = 0, thenPathCount = 0, thenPathIndex = kNoCode;
  uint32_t thenExpression = kNoCode;
  std::vector<PlanParameter> parameters;
  std::shared_ptr<LoopCode> loop;         // the quick loop this line starts, compiled
  std::shared_ptr<InlineCode> inlined;    // FUNCAO: the function computed in place
};

// Records that the plan's names fit the current table and scope, keeping
// what each resolves to now.
void pinNames(LinePlan& plan);
// Whether the entries kept by pinNames are what the names resolve to in
// `script` and `function`, or in the current script and function.
[[gnu::always_inline]] inline bool pinnedFor(const LinePlan& plan, int32_t script, const SymtbEntry* function) {
  return chunkPinnedFor(plan.chunk, script, function);
}
[[gnu::always_inline]] inline bool namesPinned(const LinePlan& plan) {
  const InterpreterState& in = theInterp;
  return pinnedFor(plan, in.currentScript, in.currentFunction);
}

enum PlanState : uint8_t { plUnseen, plSeen, plPlanned, plRefused };

// Pre-analysed lines can be switched off (tests compare both ways).
void setLinePlans(bool enabled);
bool linePlansEnabled();
// Lines run from plans so far (tests check that plans were used at all).
uint64_t plannedLines();

// Runs line `line` of the current script `r` from its plan, building the
// plan the second time the line runs. False when the line has no usable
// plan and must be read from its tokens (nothing was done); otherwise `ok`
// is the statement's result.
bool runPlannedLine(ScriptRec& r, int32_t line, CodeRec& code, bool& ok);

// For a line whose plan fits (quickPlanFits): whether what its statement
// starts with is what the plan expects, found in `entry` (nothing is done
// either way); and then the statement run as runPlannedLine runs it, which
// gives its result.
bool statementNamed(const LinePlan& plan, SymtbEntry*& entry);
bool runNamedStatement(ScriptRec& r, LinePlan& plan, SymtbEntry* entry, int32_t line, CodeRec& code);

// Built from the line's tokens in the current script and function; null
// when the line cannot be planned.
std::shared_ptr<LinePlan> buildPlan(int32_t s, int32_t line, CodeRec& code);

// Whether an expression may run quietly: numbers, names, elements and
// integer operators only.
inline bool plainExpression(const LinePlan& plan, uint32_t expression) {
  return expression != kNoCode && plan.chunk.expressions[expression].plain;
}
// The integer value of a plain expression of a quick line, whose names are
// pinned (false, nothing done, for anything else).
[[gnu::always_inline]] inline bool integerNode(const LinePlan& plan, uint32_t expression, int32_t& out) {
  return quietInteger(plan.chunk, expression, nullptr, out);
}

// Evaluation of a plan's expression. `stop` receives the E or OU word at
// which the expression ended early (null when it did not).
inline Operand evaluatePlanned(const LinePlan& plan, uint32_t expression, const Token*& stop) {
  return runExpression(plan.chunk, expression, stop);
}
// Whether every name of the plan still resolves to something of the shape
// it was planned for (called when the symbol table changed).
inline bool planNamesFit(const LinePlan& plan) { return chunkNamesFit(plan.chunk); }

// A loop of quick lines (an ENQUANTO on integers or a FIM PARA first,
// then integer assignments of variables or elements, also after a one-line
// SE) from its first line `line`, run in whole rounds while `ran` plus a
// round stays within `ahead` lines, each line counted in `ran`. qlGaveWay
// when a line needs the general way (r.nextLine is that line), qlNotRun
// when not even one round was run (plan_loop.cpp).
enum QuickLoopRun : uint8_t { qlNotRun, qlRan, qlGaveWay };
QuickLoopRun runQuickLoop(ScriptRec& r, int32_t line, uint64_t ahead, uint64_t& ran);

// A call of a function of one line, RETORNA of integer arithmetic on its
// parameters and on variables, with integer arguments: what the call would
// give, computed in place with the checks of its two lines counted
// (ipMade). Otherwise nothing is done and the call must be made: ipNever
// when it cannot be computed so (a function of another shape, other
// arguments, values that are not integers), ipNotNow when it may be later
// (plan_inline.cpp).
enum InPlaceCall : uint8_t { ipMade, ipNotNow, ipNever };
InPlaceCall calledInPlace(SymtbEntry& function, const int32_t* arguments, int count, int32_t& out);

// Plan use (plan_run.cpp), read before every line by runQuickLine.
extern bool thePlansEnabled;
extern uint64_t thePlannedCount;

// A line of a quick form run without the driver's bookkeeping, which
// nothing it does could observe; false (nothing done) when it needs the
// general way after all (a value other than an integer, an iterator).
// They run only while the plan's names are pinned, and use the entries
// kept for them.
// name := integer, when the name is a variable that holds no object.
[[gnu::always_inline]] inline bool assignedInteger(const LinePlan& plan, SymtbEntry* e, uint32_t expression) {
  if (!e || e->kind != skVariable) return false;
  VarCell* cell = variableCell(*e);
  int32_t computed;
  if (cell->position >= 0 || isObject(cell->value.tag) || !integerNode(plan, expression, computed)) return false;
  cell->value = integerValue(computed);
  return true;
}
// list[i] := integer, as the general assignment would store it.
bool storedElement(const LinePlan& plan);
// The same into a list, once its variable was found to hold it: an element
// that holds a number already is overwritten where it lies; any other is
// stored by storedBeyondList, which leaves a negative index or growth past
// the length limit to the general way.
bool storedBeyondList(Operand& list, int32_t i, int32_t value);
[[gnu::always_inline]] inline bool storedInList(Operand& list, int32_t i, int32_t value) {
  auto& cells = cellsOf(list);
  if (i < 0 || size_t(i) >= cells.size() || cells[size_t(i)].tag != Tag::integer) return storedBeyondList(list, i, value);
  cells[size_t(i)].first = value;
  return true;
}

// FUNCAO's parameters are entries that can be declared without complaint.
bool quickParameters(const LinePlan& plan);
// FUNCAO entered or passed over, when its parameters are entries that can
// be declared without complaint.
bool enteredQuickly(ScriptRec& r, LinePlan& plan, const CodeRec& code);
// A call entering `function` at its FUNCAO line when that line has a quick
// plan that fits: its parameters declared as the line would, the next line
// in r.nextLine. False (nothing done) when the line must run the usual way.
bool enteredDirectly(ScriptRec& r, SymtbEntry& function);

// RETORNA in a user function's frame with an integer or nothing (the
// value of expression `value`, or kNoCode).
[[gnu::always_inline]] inline bool returnedQuickly(ScriptRec& r, const LinePlan& plan, uint32_t value,
                                                   const CodeRec& code) {
  const InterpreterState& in = theInterp;
  const SymtbEntry* function = in.currentFunction;
  if (!function || function->kind != skFunction || in.frameBase <= 0) return false;
  StackRec& record = stackEntry(in.frameBase);
  int32_t computed = 0;
  if (record.kind != stReturn || (value != kNoCode && !integerNode(plan, value, computed))) return false;
  releaseValue(record.var.value);
  record.var.value = value == kNoCode ? undefinedValue() : integerValue(computed);
  r.nextLine = code.next;
  r.returning = true;
  return true;
}

// FIM PARA on the cell of its loop variable, as advanceIterator moves it
// on (false, nothing done, when the variable runs no PARA). The next number
// of a range, the commonest PARA, is taken in place.
[[gnu::always_inline]] inline bool advancedFor(ScriptRec& r, VarCell& cell, const CodeRec& code) {
  if (cell.position < 0) return false;
  if (cell.value.tag == Tag::range && cell.position < rangeLength(cell.value) - 1) {
    ++cell.position;
    r.nextLine = code.link + 1;
    return true;
  }
  r.nextLine = code.next;
  advanceIterator(cell, code.link);
  return true;
}

[[gnu::always_inline]] inline bool ranQuickly(ScriptRec& r, LinePlan& plan, const CodeRec& code) {
  int32_t computed;
  switch (plan.quick) {
    case qkIntegerAssign:
      if (!assignedInteger(plan, plan.nameEntry, plan.expression)) return false;
      r.nextLine = code.next;
      return true;
    case qkElementAssign:
      if (!storedElement(plan)) return false;
      r.nextLine = code.next;
      return true;
    case qkIntegerThen:
      if (!integerNode(plan, plan.expression, computed)) return false;
      if (computed && !assignedInteger(plan, plan.thenEntry, plan.thenExpression)) return false;
      r.nextLine = code.next;
      return true;
    case qkIntegerThenReturn:
      if (!integerNode(plan, plan.expression, computed)) return false;
      if (computed) return returnedQuickly(r, plan, plan.thenExpression, code);
      r.nextLine = code.next;
      return true;
    case qkIntegerIf:
      if (!integerNode(plan, plan.expression, computed)) return false;
      r.nextLine = computed ? code.next : code.link;
      return true;
    case qkIntegerWhile:
      if (!integerNode(plan, plan.expression, computed)) return false;
      r.nextLine = computed ? code.next : r.lines[size_t(code.link)].next;
      return true;
    case qkEndWhile: r.nextLine = code.link; return true;
    case qkEndFor: {
      SymtbEntry* e = plan.nameEntry;
      return e && e->kind == skVariable && advancedFor(r, *variableCell(*e), code);
    }
    case qkNothing: r.nextLine = code.next; return true;
    case qkFunction: return enteredQuickly(r, plan, code);
    case qkReturn: return returnedQuickly(r, plan, plan.expression, code);
    default: return false;
  }
}

// A line whose values keep turning out to be other than integers stops
// trying the quick way.
constexpr uint8_t kQuickMisses = 32;
inline void missedQuickly(LinePlan& plan) {
  if (++plan.quickMisses >= kQuickMisses) plan.quick = qkNone;
}

// Whether a quick plan of line `line` may run now: plans in use, errors
// reported as usual, and the names resolved as when the plan was checked.
[[gnu::always_inline]] inline bool quickPlanFits(const LinePlan& plan, int32_t line) {
  const InterpreterState& in = theInterp;
  return thePlansEnabled && line > 0 && in.reportErrors && !in.compileMode &&
         chunkPinnedFor(plan.chunk, in.currentScript, in.currentFunction) && !nativeStackLow();
}

// Line `line` of the current script `r` when it has a plan of a quick form
// that still fits: run inline by the driver before anything else. False
// (nothing done) otherwise.
[[gnu::always_inline]] inline bool runQuickLine(ScriptRec& r, int32_t line, CodeRec& code) {
  if (code.planState != plPlanned || r.trace) return false;
  LinePlan& plan = *code.plan;
  if (plan.quick == qkNone || !quickPlanFits(plan, line)) return false;
  if (!ranQuickly(r, plan, code)) {
    missedQuickly(plan);
    return false;
  }
  ++thePlannedCount;
  r.failed = false;
  return true;
}

}  // namespace varlo
