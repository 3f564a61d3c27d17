// Loops of quick lines run in whole rounds from a compiled form: the lines
// in the order a round runs them, their arithmetic run quietly by the
// stack machine, their targets' cells bound once a run. The form is kept
// on the loop's first line and checked against the lines' plans whenever
// that line comes up.
#include <algorithm>

#include "script/interp.h"
#include "script/plan.h"

namespace varlo {

struct LoopLine {
  LinePlan* plan = nullptr;
  const CodeRec* code = nullptr;
  int32_t line = 0;
  uint8_t state = plUnseen;   // the line's plan state when compiled
  uint8_t quick = qkNone;
  uint32_t test = kNoCode;    // ENQUANTO's or SE's condition
  uint32_t index = kNoCode;   // the element an element store writes
  uint32_t value = kNoCode;   // what an assignment stores
  SymtbEntry* target = nullptr;   // the assigned variable or list, the loop variable
  VarCell* cell = nullptr;
};

struct LoopCode {
  bool runs = false;    // false: not a quick loop while its lines stay as they are
  uint32_t generation = 0;
  int32_t script = 0;
  const SymtbEntry* function = nullptr;
  int32_t inside = 0;   // the line a round goes on to after the first
  int32_t exit = 0;     // ENQUANTO: the line after the loop
  std::vector<LoopLine> lines;
};

namespace {

// The longest loop compiled; longer ones run line by line.
constexpr size_t kQuickLoopLines = 16;

bool runsStraightOn(uint8_t quick) {
  return quick == qkIntegerAssign || quick == qkElementAssign || quick == qkIntegerThen;
}

// The values of a quick line; false when one of them cannot run quietly.
bool addedValues(const LinePlan& plan, LoopLine& l) {
  switch (plan.quick) {
    case qkIntegerWhile: l.test = plan.expression; break;
    case qkIntegerAssign: l.value = plan.expression; break;
    case qkIntegerThen:
      l.target = plan.thenEntry;
      l.test = plan.expression;
      l.value = plan.thenExpression;
      break;
    case qkElementAssign:
      l.index = plan.pathIndex;
      l.value = plan.expression;
      break;
    default: return true;
  }
  auto quiet = [&](uint32_t e) { return e == kNoCode || plainExpression(plan, e); };
  return quiet(l.test) && quiet(l.index) && quiet(l.value);
}

// Line `at` added to the loop; true when it is planned and of the quick
// form `fits` accepts. A line that is not is kept too, as it stands, so
// that the loop is compiled again only when that line has changed.
template <typename Fits>
bool addedLine(const ScriptRec& r, int32_t at, LoopCode& loop, Fits fits) {
  if (at <= 0 || at > r.lastLine || loop.lines.size() == kQuickLoopLines) return false;
  const CodeRec& code = r.lines[size_t(at)];
  LoopLine l;
  l.code = &code;
  l.line = at;
  l.state = code.planState;
  bool ok = code.planState == plPlanned;
  if (ok) {
    l.plan = code.plan.get();
    l.quick = l.plan->quick;
    l.target = l.plan->nameEntry;
    ok = fits(l.quick) && addedValues(*l.plan, l);
  }
  loop.lines.push_back(l);
  return ok;
}

// The loop whose first line is `line` (an ENQUANTO or a FIM PARA with a
// quick plan) compiled; it runs when every line of it is quick, pinned here
// and runs straight on: integer assignments of variables or elements, also
// after a one-line SE, and for ENQUANTO its FIM ENQUANTO. A PARA goes on at
// the line after it. Null when such a loop has a line not pinned here,
// since pinning it again changes nothing that could be compared.
std::shared_ptr<LoopCode> compiledLoop(const ScriptRec& r, int32_t line) {
  const InterpreterState& in = theInterp;
  auto loop = std::make_shared<LoopCode>();
  loop->generation = tableGeneration();
  loop->script = in.currentScript;
  loop->function = in.currentFunction;
  const CodeRec& head = r.lines[size_t(line)];
  bool endFor = head.plan->quick == qkEndFor;
  int32_t end = endFor ? line : head.link;
  loop->inside = endFor ? head.link + 1 : head.next;
  if (!endFor) loop->exit = r.lines[size_t(head.link)].next;
  bool runs = addedLine(r, line, *loop, [](uint8_t) { return true; });
  for (int32_t at = loop->inside; runs && at != end; at = r.lines[size_t(at)].next) {
    runs = addedLine(r, at, *loop, runsStraightOn);
  }
  if (runs && !endFor) {
    runs = r.lines[size_t(end)].link == line &&
           addedLine(r, end, *loop, [](uint8_t quick) { return quick == qkEndWhile; });
  }
  auto pinned = [](const LoopLine& l) { return namesPinned(*l.plan); };
  if (runs && !std::all_of(loop->lines.begin(), loop->lines.end(), pinned)) return nullptr;
  loop->runs = runs;
  return loop;
}

// Whether a line's plan is still the one compiled.
bool lineUnchanged(const ScriptRec& r, const LoopLine& l) {
  const CodeRec& code = r.lines[size_t(l.line)];
  return code.planState == l.state && code.plan.get() == l.plan && (!l.plan || l.plan->quick == l.quick);
}

// Whether the compiled loop still is what its lines' plans say. A loop
// that does not run stays so while the line that stopped it is unchanged.
bool stillFits(const ScriptRec& r, const LoopCode& loop) {
  if (!loop.runs) return loop.lines.empty() || lineUnchanged(r, loop.lines.back());
  const InterpreterState& in = theInterp;
  if (loop.generation != tableGeneration() || loop.script != in.currentScript || loop.function != in.currentFunction) {
    return false;
  }
  for (const LoopLine& l : loop.lines) {
    if (!lineUnchanged(r, l)) return false;
  }
  return true;
}

// Every target of the loop bound to its cell for this run; false when one
// has none, and the lines then run one by one.
bool bound(LoopCode& loop) {
  for (LoopLine& l : loop.lines) {
    if (l.quick != qkIntegerWhile && l.quick != qkEndWhile && !(l.cell = boundCell(l.target))) return false;
  }
  return true;
}

// name := integer, when the variable holds no object.
[[gnu::always_inline]] inline bool assigned(const LoopLine& l) {
  VarCell& cell = *l.cell;
  int32_t computed;
  if (cell.position >= 0 || isObject(cell.value.tag) || !integerNode(*l.plan, l.value, computed)) return false;
  if (cell.value.tag == Tag::integer) cell.value.first = computed;
  else cell.value = integerValue(computed);
  return true;
}

// One line of a round, as ranQuickly runs it; false (nothing done) when it
// needs the general way. Only the first line says where the round goes.
[[gnu::always_inline]] inline bool ranLine(ScriptRec& r, const LoopCode& loop, const LoopLine& l) {
  int32_t computed, i;
  switch (l.quick) {
    case qkIntegerWhile:
      if (!integerNode(*l.plan, l.test, computed)) return false;
      r.nextLine = computed ? loop.inside : loop.exit;
      return true;
    case qkEndFor: return advancedFor(r, *l.cell, *l.code);
    case qkIntegerAssign: return assigned(l);
    case qkIntegerThen: return integerNode(*l.plan, l.test, computed) && (!computed || assigned(l));
    case qkElementAssign: {
      VarCell& list = *l.cell;
      return list.position < 0 && list.value.tag == Tag::list && integerNode(*l.plan, l.index, i) &&
             integerNode(*l.plan, l.value, computed) && storedInList(list.value, i, computed);
    }
    default: return true;  // FIM ENQUANTO: the round starts again
  }
}

// The lines of a round after its first, each counted in `done`; the line
// that gave way, or null.
[[gnu::always_inline]] inline const LoopLine* ranBody(ScriptRec& r, const LoopCode& loop, uint64_t& done) {
  const LoopLine* end = loop.lines.data() + loop.lines.size();
  for (const LoopLine* at = loop.lines.data() + 1; at != end; ++at) {
    if (!ranLine(r, loop, *at)) return at;
    ++done;
  }
  return nullptr;
}

}  // namespace

QuickLoopRun runQuickLoop(ScriptRec& r, int32_t line, uint64_t ahead, uint64_t& ran) {
  LinePlan& head = *r.lines[size_t(line)].plan;
  if (!head.loop || !stillFits(r, *head.loop)) head.loop = compiledLoop(r, line);
  if (!head.loop || !head.loop->runs) return qlNotRun;
  LoopCode& loop = *head.loop;
  const uint64_t count = loop.lines.size();
  if (ran + count > ahead || !bound(loop)) return qlNotRun;
  const LoopLine* first = loop.lines.data();
  const LoopLine* stopped = nullptr;  // the line that gave way
  uint64_t done = 0;
  while (ran + done + count <= ahead) {
    if (!ranLine(r, loop, *first)) {
      stopped = first;
      break;
    }
    ++done;
    if (r.nextLine != loop.inside || (stopped = ranBody(r, loop, done))) break;  // over, or given way
  }
  ran += done;
  if (stopped) {
    missedQuickly(*stopped->plan);
    r.currentLine = r.nextLine = stopped->line;
    return qlGaveWay;
  }
  if (r.nextLine != loop.inside) {
    r.currentLine = line;  // the first line ended the loop
    return qlRan;
  }
  // Whole rounds ran: the next one starts at the first line.
  r.currentLine = loop.lines.back().line;
  r.nextLine = line;
  return qlRan;
}

}  // namespace varlo
