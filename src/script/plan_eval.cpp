// Evaluation of planned expressions: the same values, calls and messages as
// the token evaluator (expr.cpp), in the same order.
#include "script/commands.h"
#include "script/expr.h"
#include "script/interp.h"
#include "script/plan.h"

namespace varlo {

namespace {

// Integers in a variable are read without touching reference counts.
Operand readName(SymtbEntry& e) {
  const VarCell* cell = e.owner ? variableCell(e) : e.cell;
  if (cell && cell->position < 0 && !isObject(cell->value.tag)) return cell->value;
  return readVariable(e);
}

void drop(Operand& v) {
  if (isObject(v.tag)) releaseValue(v);
}

// What applySelector gives for one index in the commonest cases: false
// (nothing done) for the others.
bool selectedInPlace(const Operand& v, const Operand& index, Operand& out) {
  if (v.tag == Tag::list && index.tag == Tag::integer) {
    out = listGet(v, index.first);
    return true;
  }
  if (v.tag != Tag::dict) return false;
  if (index.tag == Tag::string) {
    out = dictGet(v, textOf(index));
    return true;
  }
  if (index.tag != Tag::integer) return false;
  out = dictGet(v, integerText(index.first));
  return true;
}

// The integer a variable holds, or its current element when it runs a PARA
// over a range or a list; false for anything else.
[[gnu::always_inline]] inline bool integerEntry(SymtbEntry* e, int32_t& out) {
  const VarCell* cell = boundCell(e);
  return cell && cellInteger(*cell, out);
}

// What a name resolves to: the entry kept when the plan was checked while
// that still holds, otherwise found again.
[[gnu::always_inline]] inline SymtbEntry* entryOf(const Token& name, SymtbEntry* kept, bool pinned) {
  return pinned ? kept : resolveToken(name);
}

// dict[key] holding an integer, the key being the text the index cell
// holds (or its current element as a PARA over a list).
bool dictElementInteger(const Operand& dict, const VarCell& index, int32_t& out) {
  const Operand* key = &index.value;
  if (index.position >= 0) {
    if (index.value.tag != Tag::list) return false;  // a range gives numbers
    const auto& cells = cellsOf(index.value);
    if (size_t(index.position) >= cells.size()) return false;
    key = &cells[size_t(index.position)];
  }
  const DicNode* n = key->tag == Tag::string ? dictFind(dict, textOf(*key)) : nullptr;
  if (!n || n->value.tag != Tag::integer) return false;
  out = n->value.first;
  return true;
}

// list[i] or dict[key] holding an integer, read as the selection would: a
// list's element by a number or an integer, a dictionary's by a text.
bool integerElement(const IntegerStep& step, bool pinned, int32_t& out) {
  const VarCell* container = boundCell(entryOf(*step.token, step.named, pinned));
  const VarCell* index = step.index ? boundCell(entryOf(*step.index, step.indexNamed, pinned)) : nullptr;
  if (!container || (step.index && !index)) return false;
  if (container->position < 0 && container->value.tag == Tag::dict) {
    return index && dictElementInteger(container->value, *index, out);
  }
  return cellListElement(*container, index, step.integer, out);
}

// A number, a name's integer or an element's integer (false for
// anything else).
[[gnu::always_inline]] inline bool leafInteger(const IntegerStep& step, bool pinned, int32_t& out) {
  if (step.kind == isNumber) {
    out = step.integer;
    return true;
  }
  if (step.kind == isName) return integerEntry(entryOf(*step.token, step.named, pinned), out);
  return integerElement(step, pinned, out);
}

// One step of a tree other than a call (false, with nothing changed, where
// it gives up).
[[gnu::always_inline]] inline bool integerStep(const IntegerStep& step, bool pinned, int32_t* stack, int& top) {
  return stackStep(step, [pinned](const IntegerStep& leaf, int32_t& value) { return leafInteger(leaf, pinned, value); },
                   stack, top);
}

// The steps with the names' kept entries (pinned) or found again.
template <bool kPinned>
[[gnu::noinline]] bool runManySteps(const IntegerStep* first, uint32_t count, int32_t& out) {
  int32_t stack[kIntegerStackDepth];
  int top = -1;
  const IntegerStep* end = first + count;
  for (const IntegerStep* step = first; step != end; ++step) {
    if (!integerStep(*step, kPinned, stack, top)) return false;
  }
  out = stack[0];
  return true;
}

// The commonest tree, one operator on two leaves (I + 1, I < N), directly
// and without the frame of the general loop.
template <bool kPinned>
[[gnu::always_inline]] inline bool runSteps(const LinePlan& plan, const PlanNode& root, int32_t& out) {
  const IntegerStep* first = plan.steps.data() + root.first;
  if (root.count != 2) return runManySteps<kPinned>(first, root.count, out);
  int32_t x, y;
  return leafInteger(first[0], kPinned, x) && leafInteger(first[1], kPinned, y) &&
         integerOperator(first[1].op, x, y, out);
}

}  // namespace

bool integerSteps(const LinePlan& plan, const PlanNode& root, int32_t& out) {
  // A call inside the line may have changed what names mean since the
  // line began.
  return namesPinned(plan) ? runSteps<true>(plan, root, out) : runSteps<false>(plan, root, out);
}

bool pinnedIntegerSteps(const LinePlan& plan, const PlanNode& root, int32_t& out) {
  return runSteps<true>(plan, root, out);
}

bool pinnedLeafInteger(const PlanNode& n, int32_t& out) {
  if (n.kind == pnInteger) {
    out = n.integer;
    return true;
  }
  return n.kind == pnName && integerEntry(n.entry, out);
}

void pinNames(LinePlan& plan) {
  const InterpreterState& in = theInterp;
  for (IntegerStep& step : plan.steps) {
    if (step.kind == isName || step.kind == isElement) step.named = resolveToken(*step.token);
    if (step.index) step.indexNamed = resolveToken(*step.index);
  }
  for (PlanNode& n : plan.nodes) {
    if (n.kind == pnName) n.entry = resolveToken(*n.token);
  }
  plan.nameEntry = plan.name ? resolveToken(*plan.name) : nullptr;
  plan.thenEntry = plan.thenName ? resolveToken(*plan.thenName) : nullptr;
  plan.generation = tableGeneration();
  plan.script = in.currentScript;
  plan.function = in.currentFunction;
}

bool storedElement(const LinePlan& plan) {
  const PlanNode& path = plan.nodes[plan.children[plan.pathFirst]];
  SymtbEntry* e = plan.nameEntry;
  if (!e || e->kind != skVariable) return false;
  VarCell* cell = variableCell(*e);
  if (cell->position >= 0 || cell->value.tag != Tag::list) return false;
  int32_t i, computed;
  return integerNode(plan, plan.children[path.first], i) && integerNode(plan, plan.expression, computed) &&
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

namespace {

class Evaluator {
 public:
  explicit Evaluator(const LinePlan& plan) : plan_(plan) {}

  const Token* stop = nullptr;

  Operand value(uint32_t index) {
    const PlanNode& n = plan_.nodes[index];
    int32_t computed;
    if (n.calls) return callingSteps(n);
    if (triedIntegers(plan_, n, computed)) return integerValue(computed);
    switch (n.kind) {
      case pnInteger: return integerValue(n.integer);
      case pnString: return stringValue(n.token->text);
      case pnName: return name(n);
      case pnCall: return call(n);
      case pnBinary: return binary(n);
      case pnLogical: return logical(n);
      case pnPrefix: return applyPrefix(n.op, value(n.left));
      case pnList: return list(n);
      case pnDict: return dict(n);
      case pnSelect: return select(n);
      case pnIndexName: case pnIndexList: return indexList(n);
      default: return invalidValue();
    }
  }

 private:
  Operand name(const PlanNode& n) {
    SymtbEntry* e = resolveToken(*n.token);
    if (e && e->kind == skVariable) return readName(*e);
    return notVariable(n, e);
  }

  // The rarer shapes stay out of line so that value() keeps a small frame.
  [[gnu::noinline]] Operand notVariable(const PlanNode& n, SymtbEntry* e) {
    std::string_view text = n.token->text;
    if (!e || (e->kind != skBuiltin && e->kind != skFunction)) return notAValue(text, e);
    // A function named without the parentheses it needs: called without
    // arguments after the complaint.
    reportMissingParentheses(text);
    Arguments args;
    Operand result;
    callFunctionFromPlan(text, e, args, result);
    return result;
  }

  [[gnu::noinline]] Operand call(const PlanNode& n) {
    SymtbEntry* e = calledEntry(n);
    // INDEFINIDO and the like give their value without a frame pushed and
    // popped, when the call would be made.
    Operand constant;
    if (n.count == 0 && e && builtinConstant(*e, constant) && callWouldRun(0)) return constant;
    Arguments args;
    for (uint32_t k = 0; k < n.count; ++k) addArgument(args, value(plan_.children[n.first + k]));
    return called(n, e, args);
  }

  static SymtbEntry* calledEntry(const PlanNode& n) { return n.greedy ? n.entry : resolveToken(*n.token); }

  // The call of `e` with its arguments taken, whatever it gives.
  static Operand called(const PlanNode& n, SymtbEntry* e, Arguments& args) {
    std::string_view text = n.token->text;
    finishArguments(text, declaredArguments(e), int(n.count), args);
    Operand result;
    callFunctionFromPlan(text, e, args, result);
    return result;
  }

  Operand binary(const PlanNode& n) {
    Operand left = value(n.left);
    return applied(n.op, std::move(left), value(n.right));
  }

  static Operand applied(uint8_t op, Operand&& left, Operand&& right) {
    int32_t out;
    if (left.tag == Tag::integer && right.tag == Tag::integer && integerOperator(op, left.first, right.first, out)) {
      return integerValue(out);
    }
    return applyOperator(op, std::move(left), std::move(right));
  }

  // A tree of integer arithmetic with calls, on plain integers while the
  // values stay integers and the names keep their meaning. A call cannot
  // be taken back, so from the first value that is not an integer (or an
  // operation that needs the usual rules) the rest of the steps go the
  // usual way with the values so far. A called function is found before
  // its first argument is read, as the token evaluator finds it.
  [[gnu::noinline]] Operand callingSteps(const PlanNode& root) {
    const IntegerStep* step = plan_.steps.data() + root.first;
    const IntegerStep* end = step + root.count;
    int32_t stack[kIntegerStackDepth];
    int top = -1;
    SymtbEntry* callee = nullptr;
    if (!namesPinned(plan_)) return finishedSteps(step, end, nullptr, top, nullptr, callee);
    for (; step != end; ++step) {
      if (step->opens != kNoNode) callee = calledEntry(plan_.nodes[step->opens]);
      if (step->kind != isCall) {
        if (!integerStep(*step, true, stack, top)) return finishedSteps(step, end, stack, top, nullptr, callee);
        continue;
      }
      const PlanNode& n = plan_.nodes[step->node];
      if (n.count == 0) callee = calledEntry(n);
      top -= int(n.count);
      int32_t inPlace;
      if (callee && n.inPlaceMisses < kIntegerMisses) {
        InPlaceCall call = calledInPlace(*callee, stack + top + 1, int(n.count), inPlace);
        if (call == ipMade) {
          stack[++top] = inPlace;
          continue;
        }
        if (call == ipNever) ++n.inPlaceMisses;
      }
      Arguments args;
      for (uint32_t k = 0; k < n.count; ++k) args.values[k] = integerValue(stack[top + 1 + int(k)]);
      args.count = int(n.count);
      Operand result = called(n, callee, args);
      if (result.tag != Tag::integer || !namesPinned(plan_)) {
        return finishedSteps(step + 1, end, stack, top, &result, callee);
      }
      stack[++top] = result.first;
    }
    return integerValue(stack[0]);
  }

  // The steps from `step` on, evaluated the usual way, after the integers
  // computed so far and the value a call gave (when not null); `callee` is
  // the function found for a call whose arguments were begun.
  [[gnu::noinline]] Operand finishedSteps(const IntegerStep* step, const IntegerStep* end, const int32_t* integers,
                                          int top, const Operand* given, SymtbEntry* callee) {
    Operand values[kIntegerStackDepth];
    int count = 0;
    for (int k = 0; k <= top; ++k) values[count++] = integerValue(integers[k]);
    if (given) values[count++] = *given;
    for (; step != end; ++step) {
      if (step->opens != kNoNode) callee = calledEntry(plan_.nodes[step->opens]);
      if (step->kind == isOperator) {
        --count;
        values[count - 1] = applied(step->op, std::move(values[count - 1]), std::move(values[count]));
      } else if (step->kind == isCall) {
        const PlanNode& n = plan_.nodes[step->node];
        if (n.count == 0) callee = calledEntry(n);
        count -= int(n.count);
        Arguments args;
        for (uint32_t k = 0; k < n.count; ++k) addArgument(args, std::move(values[count + int(k)]));
        values[count++] = called(n, callee, args);
      } else if (step->op == opNone) {
        values[count++] = value(step->node);
      } else {
        values[count - 1] = applied(step->op, std::move(values[count - 1]), value(step->node));
      }
    }
    return values[0];
  }

  // E and OU of the top level are taken only after the integer 0 or 1;
  // after any other value the expression ends there, at the word. An OU
  // whose right side ended early still applies to what that side gave.
  [[gnu::noinline]] Operand logical(const PlanNode& n) {
    Operand left = value(n.left);
    if (stop) return left;
    if (left.tag != Tag::integer || (left.first != 0 && left.first != 1)) {
      stop = n.token;
      return left;
    }
    Operand right = value(n.right);
    return applyOperator(n.op, std::move(left), std::move(right));
  }

  [[gnu::noinline]] Operand list(const PlanNode& n) {
    Operand out = newList();
    for (uint32_t k = 0; k < n.count; ++k) {
      const PlanPair& p = plan_.pairs[n.first + k];
      Operand element = value(p.a);
      if (p.b == kNoNode) addListElement(out, std::move(element));
      else addListRange(out, std::move(element), value(p.b));
    }
    return out;
  }

  [[gnu::noinline]] Operand dict(const PlanNode& n) {
    Operand out = newDict();
    int64_t nextKey = 0;
    for (uint32_t k = 0; k < n.count; ++k) {
      const PlanPair& p = plan_.pairs[n.first + k];
      Operand first = value(p.a);
      if (p.b == kNoNode) addDictEntry(out, nextKey, std::move(first), Operand{}, false);
      else addDictEntry(out, nextKey, std::move(first), value(p.b), true);
    }
    return out;
  }

  [[gnu::noinline]] Operand indexList(const PlanNode& n) {
    Operand indexes = newList();
    if (n.kind == pnIndexName) {
      listAppend(indexes, stringValue(n.token->raw));
      return indexes;
    }
    for (uint32_t k = 0; k < n.count; ++k) {
      Operand index = value(plan_.children[n.first + k]);
      if (index.tag != Tag::invalid) listAppend(indexes, std::move(index));
      drop(index);
    }
    return indexes;
  }

  [[gnu::noinline]] Operand select(const PlanNode& n) {
    const PlanNode& path = plan_.nodes[n.right];
    if (path.kind == pnIndexList && path.count == 1) {
      uint32_t at = plan_.children[path.first];
      if (const VarCell* cell = containerVariable(plan_.nodes[n.left], at)) {
        Operand index = value(at);
        Operand selected;
        bool done = selectedInPlace(cell->value, index, selected);
        drop(index);
        if (done) return selected;  // otherwise read again the usual way
      }
      Operand v = value(n.left);
      return selectOne(v, path);
    }
    Operand v = value(n.left);
    Operand indexes = value(n.right);
    Operand selected = applySelector(v, indexes);
    releaseValue(indexes);
    drop(v);
    return selected;
  }

  // The cell of a variable holding a list or a dictionary, read in place by
  // v[i] when i is a number or a variable (reading it cannot change v).
  const VarCell* containerVariable(const PlanNode& left, uint32_t index) {
    if (left.kind != pnName || !plainOperand(plan_.nodes[index])) return nullptr;
    const VarCell* cell = variableOf(left);
    if (!cell || cell->position >= 0) return nullptr;
    return cell->value.tag == Tag::list || cell->value.tag == Tag::dict ? cell : nullptr;
  }

  bool plainOperand(const PlanNode& n) { return n.kind == pnInteger || (n.kind == pnName && variableOf(n)); }

  static const VarCell* variableOf(const PlanNode& n) {
    SymtbEntry* e = resolveToken(*n.token);
    if (!e || e->kind != skVariable) return nullptr;
    return e->owner ? variableCell(*e) : e->cell;
  }

  // v[i] on a single index: a list element by number or a dictionary entry
  // by its key, without building the index list.
  [[gnu::noinline]] Operand selectOne(Operand& v, const PlanNode& path) {
    Operand index = value(plan_.children[path.first]);
    Operand selected;
    if (selectedInPlace(v, index, selected)) {
      drop(index);
      releaseValue(v);
      return selected;
    }
    Operand indexes = newList();
    if (index.tag != Tag::invalid) listAppend(indexes, std::move(index));
    drop(index);
    selected = applySelector(v, indexes);
    releaseValue(indexes);
    drop(v);
    return selected;
  }

  const LinePlan& plan_;
};

// Whether a name still resolves to something its node was planned for.
bool nameFits(const PlanNode& n) {
  const SymtbEntry* e = resolveToken(*n.token);
  if (n.kind == pnCall) {
    if (n.greedy) return e == n.entry;
    return !e || e->kind == skBuiltin || e->kind == skFunction;
  }
  if (!e) return true;
  if (e->kind == skModule || e->kind == skNew) return false;
  return e->kind != skBuiltin || (e->wordB & kBuiltinNeedsParens);
}

}  // namespace

bool integerOperation(uint8_t op) {
  int32_t unused;
  return integerOperator(op, 1, 1, unused);
}

Operand evaluateTree(const LinePlan& plan, uint32_t node, const Token*& stop) {
  Evaluator evaluator(plan);
  Operand v = evaluator.value(node);
  stop = evaluator.stop;
  return v;
}

bool planNamesFit(const LinePlan& plan) {
  for (uint32_t node : plan.names) {
    if (!nameFits(plan.nodes[node])) return false;
  }
  return true;
}

}  // namespace varlo
