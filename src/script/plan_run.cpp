// Running planned lines: the statements of the driver (interp.cpp) and of
// the control-flow commands (flow_*.cpp, statements.cpp) on a line's plan.
#include "script/commands.h"
#include "script/expr.h"
#include "script/flow.h"
#include "script/interp.h"
#include "script/output.h"
#include "script/plan.h"

namespace varlo {

bool thePlansEnabled = true;
uint64_t thePlannedCount = 0;

namespace {

// A line whose plan had to be dropped this often is read from its tokens
// for good.
constexpr uint8_t kMaxRebuilds = 8;

void dropPlan(CodeRec& code) {
  code.plan.reset();
  code.planState = ++code.planRebuilds < kMaxRebuilds ? plSeen : plRefused;
}

// A line seen for the first time is only noted; the second time its plan
// is built. False when there is no plan to run.
[[gnu::noinline]] bool buildWhenSeenAgain(int32_t line, CodeRec& code) {
  if (code.planState == plUnseen) {
    code.planState = plSeen;
    return false;
  }
  if (code.planState == plRefused) return false;
  code.plan = buildPlan(theInterp.currentScript, line, code);
  code.planState = code.plan ? plPlanned : plRefused;
  return code.plan != nullptr;
}

// The plan of the line if it can run now: built the second time the line
// runs, its names checked again when the symbol table changed.
LinePlan* usablePlan(int32_t line, CodeRec& code) {
  const InterpreterState& in = theInterp;
  if (!thePlansEnabled || line <= 0 || !in.reportErrors || in.compileMode) return nullptr;
  if (code.planState != plPlanned && !buildWhenSeenAgain(line, code)) return nullptr;
  LinePlan& plan = *code.plan;
  if (!chunkPinnedFor(plan.chunk, in.currentScript, in.currentFunction)) {
    if (!planNamesFit(plan)) {
      dropPlan(code);
      return nullptr;
    }
    pinNames(plan);
  }
  // Near the end of the native stack the token reader gives its own report.
  if (nativeStackLow()) return nullptr;
  return &plan;
}

}  // namespace

// What the statement starts with, found before anything is done: false
// when the line must be read from its tokens after all.
bool statementNamed(const LinePlan& plan, SymtbEntry*& entry) {
  switch (plan.statement) {
    case psAssign:
    case psForBounds:
    case psForIn:
      entry = resolveToken(*plan.name);
      return !entry || entry->kind == skVariable;
    case psCall:
      entry = resolveToken(*plan.name);
      return entry && (entry->kind == skBuiltin || entry->kind == skFunction);
    case psEndFor: {
      entry = resolveToken(*plan.name);
      if (!entry || entry->kind != skVariable) return false;
      return variableCell(*entry)->position >= 0;
    }
    default: return true;
  }
}

namespace {

Operand evaluate(const LinePlan& plan, uint32_t node, const Token*& stop) {
  return evaluatePlanned(plan, node, stop);
}

// An assignment of the plan: the line's own or the one after ENTAO.
struct Target {
  const Token* name;
  uint32_t pathFirst, pathCount, pathIndex;
  uint32_t expression;
};

Target lineTarget(const LinePlan& plan) {
  return {plan.name, plan.pathFirst, plan.pathCount, plan.pathIndex, plan.expression};
}

// A target that is not yet a variable (rare, hence out of line).
[[gnu::noinline]] SymtbEntry* newTarget(const Target& t, SymtbEntry* entry) {
  if (!entry) entry = findOrCreate(theInterp.currentScript, nullptr, t.name->text, true);
  if (entry && entry->kind == skNew) entry->kind = skVariable;
  return entry;
}

// The target named by the assignment, created as a script-level variable
// when it is new.
SymtbEntry* targetVariable(const Target& t, SymtbEntry* entry) {
  if (entry && entry->kind == skVariable) return entry;
  return newTarget(t, entry);
}

bool invalidAssignment(const Lvalue& target) {
  return fail(cp("Expressão inválida; a variável ") + quoted(lvalueText(target)) + cp(" não foi modificada"));
}

// name := value, as assignLvalue does it for a target without selectors.
bool plainAssignment(SymtbEntry& variable, Operand&& v) {
  VarCell* cell = variableCell(variable);
  if (cell->position >= 0) {
    reportError("Tentativa de modificar o iterador " + variable.name);
    releaseValue(v);
    return false;
  }
  Operand old = cell->value;
  cell->value = v;
  v = Operand{};
  releaseValue(old);
  return true;
}

// list[i] := value and dict[key] := value stored directly where assignLvalue
// would store them. A list or dictionary value is left to assignLvalue,
// which copies it when the container is reachable from it.
bool storedInPlace(SymtbEntry& variable, const Operand& index, Operand& v) {
  if (v.tag == Tag::invalid || v.tag == Tag::list || v.tag == Tag::dict) return false;
  VarCell* cell = variableCell(variable);
  if (cell->position >= 0) return false;
  Operand& holder = cell->value;
  if (holder.tag == Tag::list) {
    if (index.tag != Tag::integer || index.first < 0) return false;
    listSet(holder, index.first, std::move(v));
    return true;
  }
  if (holder.tag != Tag::dict) return false;
  if (index.tag == Tag::string) dictSet(holder, textOf(index), std::move(v));
  else if (index.tag == Tag::integer) dictSet(holder, integerText(index.first), std::move(v));
  else return false;
  return true;
}

bool assignment(const LinePlan& plan, const Target& t, SymtbEntry* entry, const Token*& stop) {
  if (t.pathCount == 0) {
    SymtbEntry* variable = targetVariable(t, entry);
    if (!variable) return false;
    Operand v = evaluate(plan, t.expression, stop);
    if (v.tag != Tag::invalid) return plainAssignment(*variable, std::move(v));
    Lvalue target;
    target.entry = variable;
    return invalidAssignment(target);
  }
  Lvalue target;
  target.entry = targetVariable(t, entry);
  if (!target.entry) return false;
  if (t.pathIndex != kNoCode) {
    Operand index = evaluate(plan, t.pathIndex, stop);
    Operand v = readHolding(index, nullptr, [&] { return evaluate(plan, t.expression, stop); });
    if (storedInPlace(*target.entry, index, v)) {
      releaseValue(index);
      return true;
    }
    Operand indexes = newList();
    if (index.tag != Tag::invalid) listAppend(indexes, std::move(index));
    target.path.push_back(indexes);
    if (v.tag == Tag::invalid) return invalidAssignment(target);
    return assignLvalue(target, std::move(v));
  }
  for (uint32_t k = 0; k < t.pathCount; ++k) {
    target.path.push_back(evaluate(plan, t.pathFirst + k, stop));
  }
  Operand v = evaluate(plan, t.expression, stop);
  if (v.tag == Tag::invalid) return invalidAssignment(target);
  return assignLvalue(target, std::move(v));
}

bool callLine(const LinePlan& plan, const SymtbEntry& function, const Token*& stop) {
  Operand v = evaluate(plan, plan.expression, stop);
  if (stop) {
    releaseValue(v);
    return fail(quoted(function.name) + cp(" é um identificador de ") + std::string(kindName(function.kind)) +
                cp(", não pode ser usado como variável"));
  }
  if (v.tag == Tag::invalid) return fail(cp("Chamada inválida da função ") + function.name);
  releaseValue(v);
  return true;
}

bool condition(const LinePlan& plan, const Token*& stop) {
  Operand v = evaluate(plan, plan.expression, stop);
  if (v.tag == Tag::integer) return v.first != 0;
  bool holds = conditionHolds(v);
  releaseValue(v);
  return holds;
}

// A statement run as `command`, the one a report of the command names.
template <typename Run>
bool asCommand(const SymtbEntry* command, Run run) {
  InterpreterState& in = theInterp;
  const SymtbEntry* outer = in.currentCommand;
  in.currentCommand = command;
  bool ok = run();
  in.currentCommand = outer;
  return ok;
}

// The one-line SE runs its planned assignment when the target is still a
// variable; otherwise it hands its statement over to the token readers.
bool oneLineIf(const LinePlan& plan, int32_t line, const Token*& stop) {
  bool holds = condition(plan, stop);
  if (!stop && !holds) return true;
  if (!stop && plan.thenName) {
    SymtbEntry* entry = resolveToken(*plan.thenName);
    if (!entry || entry->kind == skVariable) {
      Target t{plan.thenName, plan.thenPathFirst, plan.thenPathCount, plan.thenPathIndex, plan.thenExpression};
      return asCommand(&assignOrCallStatement(), [&] { return assignment(plan, t, entry, stop); });
    }
  }
  if (!stop && plan.thenReturn) {
    return asCommand(plan.thenReturn, [&] {
      return returnWith(plan.thenExpression == kNoCode ? undefinedValue() : evaluate(plan, plan.thenExpression, stop));
    });
  }
  uint32_t next = stop ? uint32_t(stop - plan.tokens->tokens.data()) : plan.rest;
  stop = nullptr;
  startLineAt(line, plan.tokens, next);
  bool ok = oneLineIfRest(holds);
  if (theToken.kind != tkEnd) reportLeftover(theToken.raw);
  return ok;
}

Operand integerOperand(const LinePlan& plan, uint32_t node, const Token*& stop) {
  Operand v = evaluate(plan, node, stop);
  if (v.tag != Tag::string) return v;
  Operand n = toInteger(v);
  releaseValue(v);
  return n;
}

bool forBounds(const LinePlan& plan, SymtbEntry* entry, const Token*& stop) {
  SymtbEntry* variable = targetVariable(lineTarget(plan), entry);
  if (!variable) return false;
  Operand a = integerOperand(plan, plan.expression, stop);
  Operand b = integerOperand(plan, plan.second, stop);
  int32_t first = a.first, last = b.first;
  if (!integerBounds(std::move(a), std::move(b))) return false;
  startIterator(*variable, boundsDomain(first, last, plan.downward));
  return true;
}

bool forIn(const LinePlan& plan, SymtbEntry* entry, const Token*& stop) {
  SymtbEntry* variable = targetVariable(lineTarget(plan), entry);
  if (!variable) return false;
  Operand domain;
  if (!iteratorDomain(evaluate(plan, plan.expression, stop), domain)) return false;
  startIterator(*variable, std::move(domain));
  return true;
}

bool functionEntry(LinePlan& plan) {
  SymtbEntry* function = nullptr;
  if (!enteringFunction(function)) return true;
  int32_t slot = -1;
  for (PlanParameter& p : plan.parameters) {
    if (!p.entry || p.generation != tableGeneration()) {
      p.entry = findOrCreate(theInterp.currentScript, function, p.token->text, true);
      p.generation = tableGeneration();
    }
    if (!declareLocalEntry(p.entry, p.token->text, slot--)) {
      reportLeftover(p.token->raw);  // the refused name ends the statement
      return false;
    }
  }
  function->wordC = 0;
  return true;
}

[[gnu::always_inline]] inline bool runStatement(ScriptRec& r, LinePlan& plan, SymtbEntry* entry, int32_t line, const CodeRec& code) {
  const Token* stop = nullptr;
  bool ok = true;
  switch (plan.statement) {
    case psAssign:
      ok = assignment(plan, lineTarget(plan), entry, stop);
      break;
    case psCall: ok = callLine(plan, *entry, stop); break;
    case psIf:
      if (!condition(plan, stop)) r.nextLine = code.link;
      break;
    case psWhile:
      if (!condition(plan, stop)) r.nextLine = r.lines[size_t(code.link)].next;
      break;
    case psOneLineIf: ok = oneLineIf(plan, line, stop); break;
    case psNothing: break;
    case psEndWhile: r.nextLine = code.link; break;
    case psEndFor: advanceIterator(*variableCell(*entry), code.link); break;
    case psReturn:
      ok = returnWith(plan.expression == kNoCode ? undefinedValue() : evaluate(plan, plan.expression, stop));
      break;
    case psContinue: r.nextLine = r.lines[size_t(code.link)].link; break;
    case psForBounds: ok = forBounds(plan, entry, stop); break;
    case psForIn: ok = forIn(plan, entry, stop); break;
    case psFunction: ok = functionEntry(plan); break;
  }
  if (stop) reportLeftover(stop->raw);
  return ok;
}

}  // namespace

bool quickParameters(const LinePlan& plan) {
  for (const PlanParameter& p : plan.parameters) {
    if (!p.entry || p.generation != tableGeneration() || (p.entry->kind != skNew && p.entry->kind != skVariable)) {
      return false;
    }
  }
  return true;
}

namespace {

// What declaring each parameter as a local does, once quickParameters has
// found that none would be refused.
void declareQuickParameters(const LinePlan& plan, SymtbEntry& function) {
  int32_t slot = -1;
  for (const PlanParameter& p : plan.parameters) {
    p.entry->kind = skVariable;
    p.entry->wordA = slot--;
  }
  function.wordC = 0;
}

}  // namespace

bool enteredQuickly(ScriptRec& r, LinePlan& plan, const CodeRec& code) {
  if (!quickParameters(plan)) return false;
  r.nextLine = code.next;
  SymtbEntry* function = nullptr;
  if (enteringFunction(function)) declareQuickParameters(plan, *function);
  return true;
}

bool enteredDirectly(ScriptRec& r, SymtbEntry& function) {
  CodeRec& code = r.lines[size_t(function.line)];
  if (code.planState != plPlanned || r.trace || code.function != &function) return false;
  const LinePlan& plan = *code.plan;
  if (plan.quick != qkFunction || !quickPlanFits(plan, function.line) || !quickParameters(plan)) return false;
  declareQuickParameters(plan, function);
  r.nextLine = code.next;
  r.failed = false;
  ++thePlannedCount;
  return true;
}

void pinNames(LinePlan& plan) {
  pinChunkNames(plan.chunk);
  plan.nameEntry = plan.name ? resolveToken(*plan.name) : nullptr;
  plan.thenEntry = plan.thenName ? resolveToken(*plan.thenName) : nullptr;
}

bool storedElement(const LinePlan& plan) {
  SymtbEntry* e = plan.nameEntry;
  if (!e || e->kind != skVariable) return false;
  VarCell* cell = variableCell(*e);
  if (cell->position >= 0 || cell->value.tag != Tag::list) return false;
  int32_t i, computed;
  return integerNode(plan, plan.pathIndex, i) && integerNode(plan, plan.expression, computed) &&
         storedInList(cell->value, i, computed);
}

bool storedBeyondList(Operand& list, int32_t i, int32_t value) {
  if (i < 0) return false;
  // Growing past the length limit is left to the general way, which says so.
  size_t length = cellsOf(list).size();
  if (size_t(i) >= length && length >= valueLimits().maxListLength) return false;
  listSet(list, i, integerValue(value));
  return true;
}

void setLinePlans(bool enabled) { thePlansEnabled = enabled; }
bool linePlansEnabled() { return thePlansEnabled; }
uint64_t plannedLines() { return thePlannedCount; }

bool runPlannedLine(ScriptRec& r, int32_t line, CodeRec& code, bool& ok) {
  LinePlan* plan = usablePlan(line, code);
  if (!plan) return false;
  SymtbEntry* entry = nullptr;
  if (!statementNamed(*plan, entry)) {
    if (plan->statement != psEndFor) dropPlan(code);
    return false;
  }
  ok = runNamedStatement(r, *plan, entry, line, code);
  return true;
}

bool runNamedStatement(ScriptRec& r, LinePlan& plan, SymtbEntry* entry, int32_t line, CodeRec& code) {
  ++thePlannedCount;
  r.nextLine = code.next;
  if (r.trace) printLine(code.text);
  bool ok = asCommand(plan.command, [&] { return runStatement(r, plan, entry, line, code); });
  r.failed = !ok;
  return ok;
}

}  // namespace varlo
