// The expression evaluator: a precedence climber that computes an Operand
// while it reads tokens from the lexer (no syntax tree), and the targets of
// assignments (lvalues) with indexed assignment.
//
// Two switches of the interpreter change what it does: with report-errors
// off nothing is reported (skimming), and in compile mode calls are not made
// and binary operators not applied, so only the extent is found.
#pragma once

#include <string>
#include <vector>

#include "script/interp.h"
#include "script/lexer.h"
#include "script/symbols.h"
#include "script/value.h"

namespace varlo {

// What `read` gives, read while `held` (and `also`, when not null) wait
// for it: when a call made meanwhile ends the run (Ctrl+F12, the step
// limit) they are given back, as nothing else would release them. The
// handler costs nothing until something is thrown.
template <typename Read>
Operand readHolding(Operand& held, Operand* also, Read read) {
  try {
    return read();
  } catch (...) {
    releaseValue(held);
    if (also) releaseValue(*also);
    throw;
  }
}

// Parses one expression at the level (0 allows a range a..b, 1 is an
// ordinary expression) from the current token; the first token after it is
// current on return. The caller owns the result.
Operand evaluate(int level = 1);
// Level 1 (level 0 for a range); an integer wanted converts a string with
// toInteger, a string wanted converts with toStringValue.
Operand evaluateAs(Tag wanted);
void skimExpression();

// Name resolution of an identifier token (module aliases followed through
// their dots); null when the name is unknown. The current token is the last
// one of the name on return.
SymtbEntry* resolveCurrentName();
// The current identifier token resolved in the current script and function
// (remembered by the token until the symbol table changes).
SymtbEntry* resolveCurrentToken();
// The same for any identifier token of a line (its cache is the token's).
// Checked on every name a planned line reads, hence inline.
SymtbEntry* lookUpToken(const Token& name);
inline SymtbEntry* resolveToken(const Token& name) {
  const InterpreterState& in = theInterp;
  if (name.cachedGeneration == tableGeneration() && name.cachedScript == in.currentScript &&
      name.cachedFunction == in.currentFunction) {
    return name.cachedEntry;
  }
  return lookUpToken(name);
}

// The value of a variable entry as read in an expression (a shared copy, or
// the element of a running iterator).
Operand readVariable(SymtbEntry& entry);
// The cell of a variable entry: a global's own cell, or the stack entry of a
// parameter or local of the running function.
VarCell* missingArgumentCell();
inline VarCell* frameCell(SymtbEntry& entry) {
  int32_t frame = theInterp.frameBase;
  // A function called without its parentheses gets no arguments at all:
  // its parameters read as undefined instead of entries below the frame.
  if (entry.wordA < 0 && -entry.wordA > stackEntry(frame).argumentCount) return missingArgumentCell();
  return &stackEntry(frame + entry.wordA).var;
}
inline VarCell* variableCell(SymtbEntry& entry) { return entry.owner ? frameCell(entry) : &globalCell(entry); }

struct Lvalue {
  SymtbEntry* entry = nullptr;     // variable (or function when accepted)
  std::vector<Operand> path;       // one index list per selector
  Lvalue() = default;
  Lvalue(const Lvalue&) = delete;
  Lvalue& operator=(const Lvalue&) = delete;
  Lvalue(Lvalue&& other) noexcept;
  Lvalue& operator=(Lvalue&& other) noexcept;
  ~Lvalue();
  bool valid() const { return entry != nullptr; }
  bool isFunction() const;
};

// Parses a variable name and its selectors. acceptFunction lets a function
// name through (the assignment-or-call statement decides). On error the
// message was reported and the result is not valid.
Lvalue parseLvalue(bool acceptFunction = false);
Operand readLvalue(const Lvalue& target);
// Takes over the value; reports and returns false when it cannot assign.
bool assignLvalue(const Lvalue& target, Operand&& value);
std::string lvalueText(const Lvalue& target);

// A selector at the current token (Dot name, or a bracketed index list) as
// a list of indexes; invalid after an error.
Operand readIndexList();

// Pieces of expressions shared by the token evaluator and pre-analysed
// lines (plan.h), so that both compute exactly the same.
// Precedence of binary operators: 0 (..) to 6 (^); primaries are above.
constexpr int kPrimaryLevel = 7;
// Level of an operator code, -1 for none; levels 0 and 3 take one operator.
int operatorLevel(uint8_t op);
// The operator a word stands for (E, OU), opNone for any other word.
uint8_t wordOperator(std::string_view word);
// The highest level an operator may have after one of `level`: a range and
// a comparison are followed by no operator of their level or above, so
// that A < B < C ends after B.
int levelAfter(int level);
bool isPrefixOperator(uint8_t op);               // - + * > < and |
Operand applyPrefix(uint8_t op, Operand&& v);    // opBar: the |x| value
void addListElement(Operand& list, Operand&& element);
void addListRange(Operand& list, Operand&& first, Operand&& last);  // [a..b, ...]
// { first : value } when keyed, else { first } with the next integer key.
void addDictEntry(Operand& dict, int64_t& nextKey, Operand&& first, Operand&& value, bool keyed);
// Reports a name that gives no value (unknown, or not a variable).
Operand notAValue(std::string_view name, const SymtbEntry* entry);

// Operators, for commands that combine values the same way.
Operand applyOperator(uint8_t op, Operand&& left, Operand&& right);
// Applies one index list (a list operand) to a value.
Operand applySelector(const Operand& value, const Operand& indexes);

}  // namespace varlo
