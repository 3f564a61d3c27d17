// Compact code of planned lines: a line's expressions compiled once from
// its tokens into instructions of one small stack machine, which evaluates
// them with the same values, calls, messages and order as the token
// evaluator (expr.cpp). A chunk holds the code of every expression of one
// line and the names it reads; each name keeps the entry it resolved to
// when the line's names were last checked (plan.h: pinNames).
//
// The machine has one dispatch loop and runs it two ways: in full, where
// any value may turn up and integers take a fast path inside each
// instruction; and quietly, on integers only, for lines that must not fail,
// print or call (quick lines, compiled loops, functions computed in place):
// there anything other than an integer gives up with nothing done.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script/expr.h"
#include "script/lexer.h"
#include "script/symbols.h"
#include "script/value.h"

namespace varlo {

// The instructions; kOpcodeNames lists them in the same order.
enum Opcode : uint8_t {
  bcInteger,     // push the number a
  bcString,      // push the text of name slot a
  bcInvalid,     // push an invalid value (an operand was missing)
  bcName,        // push the value of name slot a
  bcElement,     // push a[b] of name slot a, b a name slot or -1 for the number c
  bcBinary,      // left right -> left op right
  bcBinaryInteger,  // left -> left op the number c
  bcBinaryName,     // left -> left op the value of name slot a
  bcLogical,     // E / OU after the left value; name slot a is the word, b where it ends
  bcPrefix,      // value -> op value
  bcCallee,      // find the function of name slot a (before its arguments)
  bcCall,        // a arguments -> what the function found last gives; name slot b
  bcList,        // push an empty list
  bcListAdd,     // list element -> list
  bcListRange,   // list first last -> list
  bcDict,        // push an empty dictionary
  bcDictAdd,     // dict value -> dict (next integer key)
  bcDictKeyed,   // dict key value -> dict
  bcIndexName,   // push the index list [text of name slot a]
  bcIndexList,   // a values -> the index list of them
  bcSelect,      // value indexes -> selected
  bcSelectOne,   // value index -> selected
};
extern const char* const kOpcodeNames[];

struct Instruction {
  uint8_t code = bcInvalid;
  uint8_t op = opNone;
  // Times a call could not be computed in place (bcCall).
  mutable uint8_t misses = 0;
  int32_t a = 0, b = 0, c = 0;
};

// How a name slot is checked when the symbol table changes.
enum NameUse : uint8_t {
  nuText,     // only its text is used (strings, E / OU, .name)
  nuValue,    // read as a value
  nuCall,     // called with parentheses
  nuGreedy,   // a built-in called without parentheses: entry is that built-in
};

struct NameSlot {
  const Token* token = nullptr;
  uint8_t use = nuText;
  SymtbEntry* entry = nullptr;   // when last pinned (greedy: when compiled)
  // A global variable's cell when pinned: made once, it stays while the
  // table does.
  VarCell* cell = nullptr;
};

// One expression: instructions [first, end) of the chunk.
struct ExprCode {
  uint32_t first = 0, end = 0;
  // Only numbers, names, elements and integer operators: may run quietly.
  bool plain = false;
};

struct Chunk {
  std::vector<Instruction> code;
  std::vector<NameSlot> names;
  std::vector<ExprCode> expressions;
  // Where the names were last pinned; while the table, the script and the
  // function are still these, every name resolves to its slot's entry.
  uint32_t generation = 0;
  int32_t script = -1;
  const SymtbEntry* function = nullptr;
};

// Whether the entries kept by pinChunkNames are what the names resolve to
// in `script` and `function`.
[[gnu::always_inline]] inline bool chunkPinnedFor(const Chunk& chunk, int32_t script, const SymtbEntry* function) {
  return chunk.generation == tableGeneration() && chunk.script == script && chunk.function == function;
}

constexpr uint32_t kNoCode = UINT32_MAX;
// The most values an expression stacks at once; deeper ones are not compiled.
constexpr int kMachineStack = 64;

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

// Index of a line's statement: after a label and its colon, as the driver
// skips them.
size_t statementStart(const std::vector<Token>& tokens);

// The compiler of one line's expressions, reading its tokens from `index`
// on; the statement builder (plan_build.cpp) walks the statement words
// with it. A construct it does not compile refuses the whole line.
class ExpressionCompiler {
 public:
  ExpressionCompiler(int32_t script, Chunk& chunk, const std::vector<Token>& tokens);

  bool refused() const { return refused_; }
  bool sawCall() const { return afterCall_; }
  size_t index() const { return i_; }
  void setIndex(size_t i) { i_ = i; }
  const Token& current() const { return tokens_[i_]; }
  void next() {
    if (!tokens_[i_].terminal) ++i_;
  }
  bool atEnd() const { return current().kind == tkEnd; }
  bool skipWord(std::string_view word);
  uint32_t refuse() {
    refused_ = true;
    return kNoCode;
  }
  // An expression at `level` (0 allows a range a..b); `chain` lets the
  // words E and OU end it early. The expression's index in the chunk.
  uint32_t expression(int level, bool chain);
  // The selectors of a target, each an expression giving its index list;
  // `single` the expression of the index alone when there is one [i].
  void indexLists(uint32_t& first, uint32_t& count, uint32_t& single);

 private:
  void emit(uint8_t code, int32_t a = 0, int32_t b = 0, uint8_t op = opNone, int32_t c = 0);
  int32_t slot(const Token& t, uint8_t use, SymtbEntry* entry = nullptr);
  void push(int n);
  uint32_t finish(uint32_t first);
  void climb(int minLevel, bool chain);
  void binary(uint8_t op, size_t right);
  void primary();
  void prefix();
  void pairLiteral(uint8_t closer, bool dict);
  void selector();
  bool element(size_t nameCode);
  void indexList();
  void name();
  void arguments(const SymtbEntry* e, bool parens, int32_t nameSlot);
  bool parenCallStays(const SymtbEntry* e, std::string_view text) const;

  int32_t script_;
  const SymtbEntry* function_;
  Chunk& chunk_;
  const std::vector<Token>& tokens_;
  size_t i_ = 0;
  int depth_ = 0;
  int stack_ = 0, deepest_ = 0;
  bool refused_ = false;
  bool afterCall_ = false;
};

// Expression `expression` of the chunk evaluated in full. `stop` receives
// the E or OU word at which it ended early (null when it did not).
Operand runExpression(const Chunk& chunk, uint32_t expression, const Token*& stop);
// A plain expression evaluated quietly on the pinned entries: false, with
// nothing done or reported, where a value is not an integer or an operation
// needs the usual rules (division by zero). `arguments`, when not null, are
// the parameters of the function whose names the chunk reads.
bool quietMachine(const Chunk& chunk, const ExprCode& e, const int32_t* arguments, int32_t& out);

// Quietly, the integer of a name: a global's cell kept when pinned, a
// parameter of a function computed in place, or a variable's cell.
[[gnu::always_inline]] inline bool quietName(const NameSlot& s, const int32_t* arguments, int32_t& out) {
  if (s.cell) return cellInteger(*s.cell, out);
  SymtbEntry* e = s.entry;
  if (!e || e->kind != skVariable) return false;
  if (arguments && e->owner) {
    if (e->wordA >= 0) return false;
    out = arguments[-e->wordA - 1];
    return true;
  }
  const VarCell* cell = e->owner ? variableCell(*e) : e->cell;
  return cell && cellInteger(*cell, out);
}

// The commonest values, a number or a name alone or with an operator that
// carries the other operand (I + 1, S + V), run their two instructions
// here, without the machine's frame.
[[gnu::always_inline]] inline bool quietInteger(const Chunk& chunk, uint32_t expression, const int32_t* arguments,
                                                int32_t& out) {
  const ExprCode& e = chunk.expressions[expression];
  const Instruction* i = chunk.code.data() + e.first;
  uint32_t n = e.end - e.first;
  if (n > 2 || (i[0].code != bcInteger && i[0].code != bcName) ||
      (n == 2 && i[1].code != bcBinaryInteger && i[1].code != bcBinaryName)) {
    return quietMachine(chunk, e, arguments, out);
  }
  int32_t x = i[0].a, y;
  if (i[0].code == bcName && !quietName(chunk.names[size_t(i[0].a)], arguments, x)) return false;
  if (n == 1) {
    out = x;
    return true;
  }
  y = i[1].c;
  if (i[1].code == bcBinaryName && !quietName(chunk.names[size_t(i[1].a)], arguments, y)) return false;
  return integerOperator(i[1].op, x, y, out);
}

// Whether every name of the chunk still resolves to something of the shape
// it was compiled for (called when the symbol table changed).
bool chunkNamesFit(const Chunk& chunk);
// Every read name's entry resolved again in the current scope.
void pinChunkNames(Chunk& chunk);

// The listing of an expression, one instruction a line ("NAME X").
std::string listExpression(const Chunk& chunk, uint32_t expression);

}  // namespace varlo
