// Pre-analysed lines. The statement driver re-reads a line's tokens every
// time the line runs; a line that runs again (a loop body, a function) is
// analysed once into a plan instead: its statement and its expressions as
// a small tree whose names keep their resolution. Running the plan does
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
// A loop made only of such lines runs in whole rounds from a form compiled
// over the variables' cells (plan_loop.cpp); a call of a function that only
// returns integer arithmetic is computed in place (plan_inline.cpp). After
// a quick line, the planned lines that follow run without going back to
// the run loop while the checks before them would only count them.
//
// Integer arithmetic that calls functions computes on plain integers too,
// but a call cannot be tried again: from the first value that is not an
// integer, the rest of the tree is evaluated the general way.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "script/expr.h"
#include "script/flow.h"
#include "script/interp.h"
#include "script/lexer.h"
#include "script/symbols.h"

namespace varlo {

enum PlanNodeKind : uint8_t {
  pnNothing,      // no operand where one was expected: invalid
  pnInteger,
  pnString,
  pnName,         // a name read as a value (a variable, usually)
  pnCall,         // a function called with its arguments
  pnBinary,       // left op right
  pnLogical,      // E or OU of the condition's top level (see plan_eval)
  pnPrefix,       // - + * > < or | | before a value
  pnList,         // [ ... ]: pairs (element, last bound of a..b or none)
  pnDict,         // { ... }: pairs (key or value, value or none)
  pnSelect,       // value then index list
  pnIndexName,    // .nome
  pnIndexList,    // [ i, j .. k ]
};

constexpr uint32_t kNoNode = UINT32_MAX;

struct PlanNode {
  uint8_t kind = pnNothing;
  uint8_t op = opNone;
  bool greedy = false;            // call without parentheses taking arguments
  bool integers = false;          // binary: root of a tree of integer arithmetic,
                                  // its steps in LinePlan::steps (first, count)
  bool calls = false;             // such a tree that calls functions
  // Times such a tree that calls nothing turned out not to be on integers.
  mutable uint8_t integerMisses = 0;
  // Times a call could not be computed in place (see calledInPlace).
  mutable uint8_t inPlaceMisses = 0;
  int32_t integer = 0;
  const Token* token = nullptr;   // name, string, the E/OU word
  // A greedy call's built-in function; a name's entry when the plan's
  // names were last checked.
  SymtbEntry* entry = nullptr;
  uint32_t left = kNoNode, right = kNoNode;
  uint32_t first = 0, count = 0;  // children in LinePlan::children or pairs
};

// A tree of integer arithmetic in postfix order: numbers, names and list
// elements pushed, operators applied to the two values on top, calls
// applied to their arguments on top. A leaf that is the right operand of
// an operator carries the operator instead: it is applied to the value on
// top and the leaf, in the same order.
enum IntegerStepKind : uint8_t {
  isNumber,
  isName,
  isElement,    // list[number] or list[name]: token is the list's name
  isOperator,
  isCall,       // a function called with parentheses: node is the call
};
struct IntegerStep {
  uint8_t kind = isNumber;
  uint8_t op = opNone;            // an operator, or the operator a leaf carries
  uint32_t node = kNoNode;        // the leaf's or the call's node
  uint32_t opens = kNoNode;       // the call whose arguments start at this step
  int32_t integer = 0;            // a number, or an element's number index
  const Token* token = nullptr;
  const Token* index = nullptr;   // an element's name index
  // What the name and the index name resolved to when the plan was checked.
  SymtbEntry* named = nullptr;
  SymtbEntry* indexNamed = nullptr;
};
// The deepest a tree's postfix steps may stack values.
constexpr int kIntegerStackDepth = 32;

struct PlanPair {
  uint32_t a = kNoNode, b = kNoNode;
};

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
  std::vector<PlanNode> nodes;
  std::vector<uint32_t> children;
  std::vector<PlanPair> pairs;
  std::vector<IntegerStep> steps;
  uint32_t expression = kNoNode;          // value, condition, first bound
  uint32_t second = kNoNode;              // last bound of PARA
  bool downward = false;                  // PARA ... DECRESCENDO
  const Token* name = nullptr;            // target, called name, loop variable
  SymtbEntry* nameEntry = nullptr;        // what name resolved to when checked
  uint32_t pathFirst = 0, pathCount = 0;  // target's index lists (children)
  uint32_t rest = 0;                      // one-line SE: index of the next token
  // One-line SE: the assignment after ENTAO, when it could be planned
  // (thenName null otherwise), or RETORNA (thenReturn, its command); the
  // nodes are in this plan, the value in thenExpression (none: kNoNode).
  const SymtbEntry* thenReturn = nullptr;
  const Token* thenName = nullptr;
  SymtbEntry* thenEntry = nullptr;
  uint32_t thenPathFirst = 0, thenPathCount = 0;
  uint32_t thenExpression = kNoNode;
  std::vector<PlanParameter> parameters;
  std::vector<uint32_t> names;            // nodes checked when the table changed
  std::shared_ptr<LoopCode> loop;         // the quick loop this line starts, compiled
  std::shared_ptr<InlineCode> inlined;    // FUNCAO: the function computed in place
  // Where the names were last found to fit; while the table, the script
  // and the function are still these, every name resolves to the entry
  // kept beside it then (see pinNames).
  uint32_t generation = 0;
  int32_t script = -1;
  const SymtbEntry* function = nullptr;
};

// Records that the plan's names fit the current table and scope, keeping
// what each resolves to now.
void pinNames(LinePlan& plan);
// Whether the entries kept by pinNames are what the names resolve to in
// `script` and `function`, or in the current script and function.
[[gnu::always_inline]] inline bool pinnedFor(const LinePlan& plan, int32_t script, const SymtbEntry* function) {
  return plan.generation == tableGeneration() && plan.script == script && plan.function == function;
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

// Operators that integer pairs compute directly (the rest need applyOperator).
bool integerOperation(uint8_t op);
// Integer pairs of those operators, as applyOperator computes them; false
// where the usual rules must decide (division by zero).
[[gnu::always_inline]] inline bool integerOperator(uint8_t op, int32_t x, int32_t y, int32_t& out) {
  switch (op) {
    case opAdd: out = int32_t(uint32_t(x) + uint32_t(y)); return true;
    case opSub: out = int32_t(uint32_t(x) - uint32_t(y)); return true;
    case opMul: out = int32_t(uint32_t(x) * uint32_t(y)); return true;
    case opDiv: case opMod:
      if (y == 0 || y == -1) return false;
      out = op == opDiv ? x / y : x % y;
      return true;
    case opEq: out = x == y; return true;
    case opNe: out = x != y; return true;
    case opGt: out = x > y; return true;
    case opGe: out = x >= y; return true;
    case opLt: out = x < y; return true;
    case opLe: out = x <= y; return true;
    default: return false;
  }
}

// Element i of a list holding an integer, read as listGet would.
[[gnu::always_inline]] inline bool elementInteger(const Operand& list, int32_t i, int32_t& out) {
  const auto& cells = cellsOf(list);
  if (i < 0 || size_t(i) >= cells.size() || cells[size_t(i)].tag != Tag::integer) return false;
  out = cells[size_t(i)].first;
  return true;
}

// The integer a variable's cell holds, or its current element when it runs
// a PARA over a range or a list; false for anything else.
[[gnu::always_inline]] inline bool cellInteger(const VarCell& cell, int32_t& out) {
  const Operand& v = cell.value;
  if (cell.position < 0) {
    out = v.first;
    return v.tag == Tag::integer;
  }
  if (v.tag == Tag::range) {
    out = rangeElement(v, cell.position);
    return true;
  }
  return v.tag == Tag::list && elementInteger(v, cell.position, out);
}

// The cell a variable reads from now, without making one for a global that
// has none yet (null then, as for a name that is not a variable).
[[gnu::always_inline]] inline VarCell* boundCell(SymtbEntry* e) {
  if (!e || e->kind != skVariable) return nullptr;
  return e->owner ? variableCell(*e) : e->cell;
}

// list[i] holding an integer in a list variable's cell, i being the number
// `i` or the index cell's integer, read as the selection reads it.
[[gnu::always_inline]] inline bool cellListElement(const VarCell& list, const VarCell* index, int32_t i,
                                                   int32_t& out) {
  if (list.position >= 0 || list.value.tag != Tag::list || (index && !cellInteger(*index, i))) return false;
  return elementInteger(list.value, i, out);
}

// One postfix step of a tree of integer arithmetic on the stack: an
// operator applied to the two values on top, or a leaf, whose integer
// `leaf` gives, pushed or taken with the value on top by the operator it
// carries. False, with nothing changed, where it gives up.
template <typename Step, typename Leaf>
[[gnu::always_inline]] inline bool stackStep(const Step& step, Leaf leaf, int32_t* stack, int& top) {
  if (step.kind == isOperator) {
    if (!integerOperator(step.op, stack[top - 1], stack[top], stack[top - 1])) return false;
    --top;
    return true;
  }
  int32_t value;
  if (!leaf(step, value)) return false;
  if (step.op == opNone) {
    stack[++top] = value;
    return true;
  }
  return integerOperator(step.op, stack[top], value, stack[top]);
}
// Marks the largest trees of integer operators over numbers and names, which
// evaluate without building operands when every name holds an integer.
void markIntegerTrees(LinePlan& plan);
// The quick form of a plan, if it has one.
QuickForm quickForm(const LinePlan& plan);

// A tree of integer arithmetic computed on plain integers. False when a
// name on the way holds something else or an operation needs the usual
// rules (division by zero): nothing was reported or changed, and the tree
// is then evaluated the usual way.
bool integerSteps(const LinePlan& plan, const PlanNode& root, int32_t& out);
// The same for quick lines, whose names are known to be pinned.
bool pinnedIntegerSteps(const LinePlan& plan, const PlanNode& root, int32_t& out);
// The integer of a number or a pinned name (false for anything else).
bool pinnedLeafInteger(const PlanNode& n, int32_t& out);
// A tree of integer arithmetic that calls nothing: computed or given up
// on without anything seen.
inline bool plainIntegers(const PlanNode& n) { return n.integers && !n.calls; }
// The integer value of a tree of integer arithmetic, a number or a name of
// a quick line (false for anything else, as integerSteps).
inline bool integerNode(const LinePlan& plan, uint32_t node, int32_t& out) {
  const PlanNode& n = plan.nodes[node];
  return n.integers ? pinnedIntegerSteps(plan, n, out) : pinnedLeafInteger(n, out);
}
// A tree of integer arithmetic that calls nothing computed on plain
// integers, unless it has too often turned out to hold something else: it
// is then left to the general evaluation for good. False when not computed.
constexpr uint8_t kIntegerMisses = 32;
inline bool triedIntegers(const LinePlan& plan, const PlanNode& n, int32_t& out) {
  if (!plainIntegers(n) || n.integerMisses >= kIntegerMisses) return false;
  if (integerSteps(plan, n, out)) return true;
  ++n.integerMisses;
  return false;
}
// Evaluation of any other tree.
Operand evaluateTree(const LinePlan& plan, uint32_t node, const Token*& stop);

// Evaluation of a plan's expression tree. `stop` receives the E or OU word
// at which the expression ended early (null when it did not).
inline Operand evaluatePlanned(const LinePlan& plan, uint32_t node, const Token*& stop) {
  int32_t computed;
  if (triedIntegers(plan, plan.nodes[node], computed)) {
    stop = nullptr;
    return Operand{Tag::integer, computed};
  }
  return evaluateTree(plan, node, stop);
}
// Whether every name of the plan still resolves to something of the shape
// it was planned for (called when the symbol table changed).
bool planNamesFit(const LinePlan& plan);

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
// value of node `value`, or kNoNode).
[[gnu::always_inline]] inline bool returnedQuickly(ScriptRec& r, const LinePlan& plan, uint32_t value,
                                                   const CodeRec& code) {
  const InterpreterState& in = theInterp;
  const SymtbEntry* function = in.currentFunction;
  if (!function || function->kind != skFunction || in.frameBase <= 0) return false;
  StackRec& record = stackEntry(in.frameBase);
  int32_t computed = 0;
  if (record.kind != stReturn || (value != kNoNode && !integerNode(plan, value, computed))) return false;
  releaseValue(record.var.value);
  record.var.value = value == kNoNode ? undefinedValue() : integerValue(computed);
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
      if (!pinnedIntegerSteps(plan, plan.nodes[plan.expression], computed)) return false;
      if (computed && !assignedInteger(plan, plan.thenEntry, plan.thenExpression)) return false;
      r.nextLine = code.next;
      return true;
    case qkIntegerThenReturn:
      if (!pinnedIntegerSteps(plan, plan.nodes[plan.expression], computed)) return false;
      if (computed) return returnedQuickly(r, plan, plan.thenExpression, code);
      r.nextLine = code.next;
      return true;
    case qkIntegerIf:
      if (!pinnedIntegerSteps(plan, plan.nodes[plan.expression], computed)) return false;
      r.nextLine = computed ? code.next : code.link;
      return true;
    case qkIntegerWhile:
      if (!pinnedIntegerSteps(plan, plan.nodes[plan.expression], computed)) return false;
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
  return thePlansEnabled && line > 0 && in.reportErrors && !in.compileMode && plan.generation == tableGeneration() &&
         plan.script == in.currentScript && plan.function == in.currentFunction && !nativeStackLow();
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
