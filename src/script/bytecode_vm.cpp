// The stack machine that runs compiled expressions: one dispatch loop, run
// in full or quietly on integers (bytecode.h).
#include "script/bytecode.h"
#include "script/commands.h"
#include "script/interp.h"
#include "script/plan.h"

namespace varlo {

namespace {

// Integers in a variable, or the number a PARA over a range is at, are
// read without touching reference counts.
Operand readName(SymtbEntry& e) {
  const VarCell* cell = e.owner ? variableCell(e) : e.cell;
  if (cell && cell->position < 0 && !isObject(cell->value.tag)) return cell->value;
  if (cell && cell->value.tag == Tag::range) return integerValue(rangeElement(cell->value, cell->position));
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

// v[i] on a single index: a list element by number or a dictionary entry
// by its key, without building the index list.
Operand selectOne(Operand& v, Operand& index) {
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

// A call whose arguments turned out this often not to suit computing it in
// place is always made.
constexpr uint8_t kInPlaceMisses = 32;

// The stack cells hold operands in a full run and integers in a quiet one;
// they are left uninitialised, as each is written before it is read.
union StackCell {
  Operand value;
  int32_t integer;
  StackCell() {}
};

struct Machine {
  const Chunk& chunk;
  const int32_t* arguments = nullptr;  // quiet run of a function computed in place
  bool pinned = false;
  const Token* stop = nullptr;
  int top = -1;
  StackCell stack[kMachineStack];
  int64_t keys[kMachineStack];          // a dictionary's next integer key
  SymtbEntry* callees[kMachineStack];
  int callee = -1;

  explicit Machine(const Chunk& c) : chunk(c) {}

  SymtbEntry* entry(int32_t slot) const {
    const NameSlot& s = chunk.names[size_t(slot)];
    return pinned ? s.entry : resolveToken(*s.token);
  }

  void repin() {
    const InterpreterState& in = theInterp;
    pinned = chunkPinnedFor(chunk, in.currentScript, in.currentFunction);
  }

  Operand name(int32_t slot) {
    SymtbEntry* e = entry(slot);
    if (e && e->kind == skVariable) return readName(*e);
    return notVariable(slot, e);
  }

  // The rarer shapes stay out of line so that the loop keeps a small frame.
  [[gnu::noinline]] Operand notVariable(int32_t slot, SymtbEntry* e) {
    std::string_view text = chunk.names[size_t(slot)].token->text;
    if (!e || (e->kind != skBuiltin && e->kind != skFunction)) return notAValue(text, e);
    // A function named without the parentheses it needs: called without
    // arguments after the complaint.
    reportMissingParentheses(text);
    Arguments args;
    Operand result;
    callFunctionFromPlan(text, e, args, result);
    repin();
    return result;
  }

  // Quietly, list[i] or dict[key] holding an integer.
  bool quietElement(const Instruction& i, int32_t& out) const {
    SymtbEntry* ce = chunk.names[size_t(i.a)].entry;
    SymtbEntry* ie = i.b >= 0 ? chunk.names[size_t(i.b)].entry : nullptr;
    if (arguments && ((ce && ce->owner) || (ie && ie->owner))) return false;
    const VarCell* container = boundCell(ce);
    const VarCell* index = ie ? boundCell(ie) : nullptr;
    if (!container || (i.b >= 0 && !index)) return false;
    if (container->position < 0 && container->value.tag == Tag::dict) {
      return index && dictElementInteger(container->value, *index, out);
    }
    return cellListElement(*container, index, i.c, out);
  }

  // name[number] or name[name]: read in place from the variable's list or
  // dictionary, otherwise as the selection reads it.
  Operand element(const Instruction& i) {
    SymtbEntry* ce = entry(i.a);
    const VarCell* cell = ce && ce->kind == skVariable ? (ce->owner ? variableCell(*ce) : ce->cell) : nullptr;
    bool container = cell && cell->position < 0 && (cell->value.tag == Tag::list || cell->value.tag == Tag::dict);
    if (container && i.b < 0 && cell->value.tag == Tag::list) {
      int32_t n;
      if (elementInteger(cell->value, i.c, n)) return integerValue(n);
    }
    if (container && (i.b < 0 || (entry(i.b) && entry(i.b)->kind == skVariable))) {
      Operand index = i.b < 0 ? integerValue(i.c) : name(i.b);
      Operand selected;
      bool done = selectedInPlace(cell->value, index, selected);
      drop(index);
      if (done) return selected;  // otherwise read again the usual way
    }
    Operand v = name(i.a);
    Operand index = i.b < 0 ? integerValue(i.c) : name(i.b);
    return selectOne(v, index);
  }

  [[gnu::noinline]] Operand call(const Instruction& i) {
    SymtbEntry* e = callees[callee--];
    std::string_view text = chunk.names[size_t(i.b)].token->text;
    int count = i.a;
    StackCell* first = stack + top - count + 1;
    top -= count;
    // INDEFINIDO and the like give their value without a frame pushed and
    // popped, when the call would be made.
    Operand constant;
    if (count == 0 && e && builtinConstant(*e, constant) && callWouldRun(0)) return constant;
    if (e && e->kind == skFunction && i.misses < kInPlaceMisses && count <= kMaxArguments &&
        chunk.names[size_t(i.b)].use == nuCall) {
      int32_t integers[kMaxArguments];
      bool all = true;
      for (int k = 0; k < count && all; ++k) {
        all = first[k].value.tag == Tag::integer;
        integers[k] = first[k].value.first;
      }
      int32_t out;
      InPlaceCall made = all ? calledInPlace(*e, integers, count, out) : ipNotNow;
      if (made == ipMade) return integerValue(out);
      if (made == ipNever) ++i.misses;
    }
    Arguments args;
    for (int k = 0; k < count; ++k) addArgument(args, std::move(first[k].value));
    finishArguments(text, declaredArguments(e), count, args);
    Operand result;
    callFunctionFromPlan(text, e, args, result);
    repin();
    return result;
  }

  [[gnu::noinline]] Operand indexList(int count) {
    Operand indexes = newList();
    StackCell* first = stack + top - count + 1;
    top -= count;
    for (int k = 0; k < count; ++k) {
      Operand index = first[k].value;
      if (index.tag != Tag::invalid) listAppend(indexes, std::move(index));
      drop(index);
    }
    return indexes;
  }

  [[gnu::noinline]] Operand select() {
    Operand& v = stack[top - 1].value;
    Operand& indexes = stack[top].value;
    Operand selected = applySelector(v, indexes);
    releaseValue(indexes);
    drop(v);
    return selected;
  }

  [[gnu::noinline]] void binary(uint8_t op) {
    Operand& left = stack[top - 1].value;
    left = applyOperator(op, std::move(left), std::move(stack[top].value));
    --top;
  }

  template <bool kQuiet>
  bool execute(const ExprCode& e);
};

// The dispatch loop. Quietly only numbers, names, elements and integer
// operators run (a plain expression has nothing else), and false means
// that one of them gave up.
template <bool kQuiet>
bool Machine::execute(const ExprCode& e) {
  const Instruction* code = chunk.code.data();
  const Instruction* end = code + e.end;
  for (const Instruction* pc = code + e.first; pc != end; ++pc) {
    const Instruction& i = *pc;
    switch (i.code) {
      case bcInteger:
        if constexpr (kQuiet) stack[++top].integer = i.a;
        else stack[++top].value = integerValue(i.a);
        break;
      case bcName:
        if constexpr (kQuiet) {
          if (!quietName(chunk.names[size_t(i.a)], arguments, stack[++top].integer)) return false;
        } else {
          stack[++top].value = name(i.a);
        }
        break;
      case bcElement:
        if constexpr (kQuiet) {
          if (!quietElement(i, stack[++top].integer)) return false;
        } else {
          stack[top + 1].value = element(i);
          ++top;
        }
        break;
      case bcBinary:
        if constexpr (kQuiet) {
          if (!integerOperator(i.op, stack[top - 1].integer, stack[top].integer, stack[top - 1].integer)) return false;
          --top;
        } else {
          Operand& left = stack[top - 1].value;
          const Operand& right = stack[top].value;
          if (left.tag == Tag::integer && right.tag == Tag::integer &&
              integerOperator(i.op, left.first, right.first, left.first)) {
            --top;
          } else {
            binary(i.op);
          }
        }
        break;
      case bcBinaryInteger:
        if constexpr (kQuiet) {
          if (!integerOperator(i.op, stack[top].integer, i.c, stack[top].integer)) return false;
        } else {
          Operand& left = stack[top].value;
          if (left.tag != Tag::integer || !integerOperator(i.op, left.first, i.c, left.first)) {
            stack[++top].value = integerValue(i.c);
            binary(i.op);
          }
        }
        break;
      case bcBinaryName:
        if constexpr (kQuiet) {
          int32_t right;
          if (!quietName(chunk.names[size_t(i.a)], arguments, right) || !integerOperator(i.op, stack[top].integer, right, stack[top].integer)) {
            return false;
          }
        } else {
          Operand right = name(i.a);
          Operand& left = stack[top].value;
          if (left.tag != Tag::integer || right.tag != Tag::integer ||
              !integerOperator(i.op, left.first, right.first, left.first)) {
            stack[++top].value = right;
            binary(i.op);
          }
        }
        break;
      default:
        if constexpr (kQuiet) {
          return false;
        } else {
          switch (i.code) {
            case bcString: stack[++top].value = stringValue(chunk.names[size_t(i.a)].token->text); break;
            case bcInvalid: stack[++top].value = invalidValue(); break;
            case bcLogical: {
              // E and OU are taken only after the integer 0 or 1; after any
              // other value the expression ends there, at the word. An OU
              // whose right side ended early still applies to what that
              // side gave.
              const Operand& left = stack[top].value;
              if (stop || left.tag != Tag::integer || (left.first != 0 && left.first != 1)) {
                if (!stop) stop = chunk.names[size_t(i.a)].token;
                pc = code + i.b - 1;
              }
              break;
            }
            case bcPrefix: stack[top].value = applyPrefix(i.op, std::move(stack[top].value)); break;
            case bcCallee: {
              const NameSlot& s = chunk.names[size_t(i.a)];
              callees[++callee] = s.use == nuGreedy || pinned ? s.entry : resolveToken(*s.token);
              break;
            }
            case bcCall: {
              Operand result = call(i);
              stack[++top].value = result;
              break;
            }
            case bcList:
              stack[++top].value = newList();
              break;
            case bcDict:
              stack[++top].value = newDict();
              keys[top] = 0;
              break;
            case bcListAdd:
              addListElement(stack[top - 1].value, std::move(stack[top].value));
              --top;
              break;
            case bcListRange:
              addListRange(stack[top - 2].value, std::move(stack[top - 1].value), std::move(stack[top].value));
              top -= 2;
              break;
            case bcDictAdd:
              addDictEntry(stack[top - 1].value, keys[top - 1], std::move(stack[top].value), Operand{}, false);
              --top;
              break;
            case bcDictKeyed:
              addDictEntry(stack[top - 2].value, keys[top - 2], std::move(stack[top - 1].value),
                           std::move(stack[top].value), true);
              top -= 2;
              break;
            case bcIndexName: {
              Operand indexes = newList();
              listAppend(indexes, stringValue(chunk.names[size_t(i.a)].token->raw));
              stack[++top].value = indexes;
              break;
            }
            case bcIndexList: {
              Operand indexes = indexList(i.a);
              stack[++top].value = indexes;
              break;
            }
            case bcSelect: {
              Operand selected = select();
              stack[--top].value = selected;
              break;
            }
            case bcSelectOne: {
              Operand selected = selectOne(stack[top - 1].value, stack[top].value);
              stack[--top].value = selected;
              break;
            }
            default: break;
          }
        }
    }
  }
  return true;
}

}  // namespace

Operand runExpression(const Chunk& chunk, uint32_t expression, const Token*& stop) {
  Machine m(chunk);
  m.repin();
  try {
    m.execute<false>(chunk.expressions[expression]);
  } catch (...) {
    // A run left by an interruption (Ctrl+F12, thrown from a call) gives
    // back what its stack holds.
    for (int k = 0; k <= m.top; ++k) releaseValue(m.stack[k].value);
    throw;
  }
  stop = m.stop;
  Operand result = m.stack[0].value;
  return result;
}

bool quietMachine(const Chunk& chunk, const ExprCode& e, const int32_t* arguments, int32_t& out) {
  Machine m(chunk);
  m.arguments = arguments;
  if (!m.execute<true>(e)) return false;
  out = m.stack[0].integer;
  return true;
}

}  // namespace varlo
