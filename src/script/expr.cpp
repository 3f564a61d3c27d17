// The precedence climber and the primaries of expressions.
#include "script/expr.h"

#include "script/interp.h"
#include "script/lexer.h"

namespace varlo {

namespace {

// The operator at the current token, given the value to its left: the words
// E and OU count only after 0 or 1 while errors are reported.
uint8_t currentOperator(const Operand& left) {
  const TokenRec& t = theToken;
  if (t.kind == tkOperator) return t.op;
  if (t.kind != tkIdentifier) return opNone;
  uint8_t op = wordOperator(t.text);
  if (op == opNone || !theInterp.reportErrors) return op;
  bool zeroOrOne = left.tag == Tag::integer && (left.first == 0 || left.first == 1);
  return zeroOrOne ? op : uint8_t(opNone);
}

Operand primary();

Operand climb(int minLevel) {
  Operand left = primary();
  int maxLevel = kPrimaryLevel - 1;
  for (;;) {
    uint8_t op = currentOperator(left);
    int level = operatorLevel(op);
    if (level < minLevel || level > maxLevel) break;
    scan();
    Operand right = readHolding(left, nullptr, [&] { return climb(level + 1); });
    if (theInterp.compileMode) releaseValue(right);
    else left = applyOperator(op, std::move(left), std::move(right));
    maxLevel = levelAfter(level);
  }
  return left;
}

bool tooDeep() {
  if (!nativeStackLow()) return false;
  reportError(cp("Expressão aninhada demais"));
  return true;
}

// Unary + * > < on a list of integers or of strings.
Operand listAggregate(uint8_t op, Operand&& v) {
  if (v.tag != Tag::list) return std::move(v);
  Operand result = invalidValue();
  const auto& cells = cellsOf(v);
  bool allIntegers = !cells.empty(), allStrings = !cells.empty();
  for (const Operand& c : cells) {
    allIntegers = allIntegers && c.tag == Tag::integer;
    allStrings = allStrings && c.tag == Tag::string;
  }
  if (allIntegers) {
    int32_t acc = cells[0].first;
    for (size_t i = 1; i < cells.size(); ++i) {
      int32_t x = cells[i].first;
      if (op == opAdd) acc = int32_t(uint32_t(acc) + uint32_t(x));
      else if (op == opMul) acc = int32_t(uint32_t(acc) * uint32_t(x));
      else if (op == opGt) acc = std::max(acc, x);
      else acc = std::min(acc, x);
    }
    result = integerValue(acc);
  } else if (allStrings && op != opMul) {
    std::string acc = textOf(cells[0]);
    for (size_t i = 1; i < cells.size(); ++i) {
      const std::string& x = textOf(cells[i]);
      if (op == opAdd) acc += x;
      else if ((op == opGt) == (x > acc)) acc = x;
    }
    result = stringValue(std::move(acc));
  }
  releaseValue(v);
  return result;
}

Operand negation(Operand&& v) {
  Operand result = invalidValue();
  if (v.tag == Tag::integer) {
    result = integerValue(int32_t(0u - uint32_t(v.first)));
  } else if (v.tag == Tag::string) {
    result = stringValue(std::string(textOf(v).rbegin(), textOf(v).rend()));
  } else if (v.tag == Tag::list) {
    result = newList();
    const auto& cells = cellsOf(v);
    for (auto it = cells.rbegin(); it != cells.rend(); ++it) {
      listAppend(result, shared(*it));
    }
  }
  releaseValue(v);
  return result;
}

Operand barValue(Operand&& v) {
  Operand result = invalidValue();
  switch (v.tag) {
    case Tag::integer: result = integerValue(v.first < 0 ? int32_t(0u - uint32_t(v.first)) : v.first); break;
    case Tag::string: result = integerValue(int32_t(textOf(v).size())); break;
    case Tag::dict: result = integerValue(v.obj->count); break;
    case Tag::list: result = integerValue(listLength(v)); break;
    default: break;
  }
  releaseValue(v);
  return result;
}

Operand unaryOperator() {
  uint8_t op = theToken.op;
  if (op == opBar) {
    scan();
    Operand v = evaluate(1);
    if (theToken.kind == tkOperator && theToken.op == opBar) scan();
    else reportError("Faltou a barra vertical");
    return applyPrefix(opBar, std::move(v));
  }
  if (!isPrefixOperator(op)) {
    reportError("Operador " + std::string(theToken.raw) + " inesperado");
    return invalidValue();
  }
  scan();
  return applyPrefix(op, primary());
}

bool appendRange(Operand& list, int32_t a, int32_t b) {
  int64_t count = (b >= a ? int64_t(b) - a : int64_t(a) - b) + 1;
  if (!fitsLimits(size_t(listLength(list)) + size_t(count), 0)) return false;
  int step = b >= a ? 1 : -1;
  cellsOf(list).reserve(cellsOf(list).size() + size_t(count));
  for (int64_t k = a;; k += step) {
    listAppend(list, integerValue(int32_t(k)));
    if (k == b) break;
  }
  return true;
}

// Reports a stray token inside a literal (without the line prefix) and skips
// to the closing token; false when the line ended. A stray token after an
// error inside the literal is that error's consequence (a nesting too deep
// abandons the line, and every open bracket would complain): not reported.
bool skipStray(uint8_t closer, std::string_view message, long errorsAtStart) {
  if (errorReportCount() == errorsAtStart) reportWithoutLine(std::string(theToken.raw) + std::string(message));
  while (theToken.kind != closer && theToken.kind != tkEnd) scan();
  if (theToken.kind == closer) scan();
  return false;
}

// After an item of a list or dictionary literal: true when a comma asks for
// another; the closer or a stray token (reported) ends the literal.
bool nextLiteralItem(uint8_t closer, const char* complaint, long errorsAtStart) {
  if (theToken.kind == tkComma) {
    scan();
    return true;
  }
  if (theToken.kind == closer) scan();
  else skipStray(closer, cp(complaint), errorsAtStart);
  return false;
}

// [ elements ], the current token being the bracket.
Operand listLiteral() {
  Operand list = theInterp.compileMode ? undefinedValue() : newList();
  long errorsAtStart = errorReportCount();
  if (scan() == tkRightBracket) {
    scan();
    return list;
  }
  for (;;) {
    Operand element = readHolding(list, nullptr, [] { return evaluate(1); });
    if (theToken.kind == tkOperator && theToken.op == opRange) {
      scan();
      Operand last = readHolding(list, &element, [] { return evaluate(1); });
      addListRange(list, std::move(element), std::move(last));
    } else {
      addListElement(list, std::move(element));
    }
    if (!nextLiteralItem(tkRightBracket, " não era esperado", errorsAtStart)) break;
  }
  return list;
}

// { entries }, the current token being the brace.
Operand dictLiteral() {
  Operand dict = theInterp.compileMode ? undefinedValue() : newDict();
  long errorsAtStart = errorReportCount();
  if (scan() == tkRightBrace) {
    scan();
    return dict;
  }
  int64_t nextKey = 0;
  for (;;) {
    Operand first = readHolding(dict, nullptr, [] { return evaluate(1); });
    if (theToken.kind == tkColon) {
      scan();
      Operand value = readHolding(dict, &first, [] { return evaluate(1); });
      addDictEntry(dict, nextKey, std::move(first), std::move(value), true);
    } else {
      addDictEntry(dict, nextKey, std::move(first), Operand{}, false);
    }
    if (!nextLiteralItem(tkRightBrace, " é um token inválido neste contexto", errorsAtStart)) break;
  }
  return dict;
}

Operand callNamed(std::string_view name, SymtbEntry* function) {
  Arguments args;
  parseArguments(name, function, args);
  Operand result;
  callFunction(name, function, args, result);
  return result;
}

Operand identifierValue() {
  SymtbEntry* entry = resolveCurrentName();
  if (entry && entry->kind == skVariable) {
    scan();
    return theInterp.compileMode ? undefinedValue() : readVariable(*entry);
  }
  std::string name(theToken.text);
  if (!entry) {
    if (scan() == tkLeftParen) return callNamed(name, nullptr);
    return notAValue(name, nullptr);
  }
  scan();
  if (entry->kind == skBuiltin || entry->kind == skFunction) return callNamed(name, entry);
  return notAValue(name, entry);
}

Operand parenthesised() {
  scan();
  Operand v = evaluate(1);
  if (theToken.kind == tkRightParen) scan();
  else reportError(cp("Faltou fechar parênteses"));
  return v;
}

Operand selectors(Operand&& value) {
  while (theToken.kind == tkDot || theToken.kind == tkLeftBracket) {
    Operand indexes = readHolding(value, nullptr, readIndexList);
    if (indexes.tag != Tag::list) {
      releaseValue(value);
      return invalidValue();
    }
    Operand selected = theInterp.compileMode ? undefinedValue() : applySelector(value, indexes);
    releaseValue(indexes);
    releaseValue(value);
    value = selected;
  }
  return std::move(value);
}

Operand primary() {
  // Only nested brackets, bars and unary operators recurse here (calls are
  // guarded by the call protocol).
  uint8_t kind = theToken.kind;
  if (kind >= tkOperator && kind != tkInteger && kind != tkString && tooDeep()) {
    skipToEnd();
    return invalidValue();
  }
  Operand v;
  switch (theToken.kind) {
    case tkIdentifier: v = identifierValue(); break;
    case tkInteger:
      v = integerValue(theToken.integer);
      scan();
      break;
    case tkString:
      v = stringValue(theToken.text);
      scan();
      break;
    case tkOperator: v = unaryOperator(); break;
    case tkLeftParen: v = parenthesised(); break;
    case tkLeftBracket: v = listLiteral(); break;
    case tkLeftBrace: v = dictLiteral(); break;
    default: return invalidValue();
  }
  return selectors(std::move(v));
}

}  // namespace

uint8_t wordOperator(std::string_view word) { return word == "E" ? opAnd : word == "OU" ? opOr : opNone; }

int levelAfter(int level) { return level == 0 || level == 3 ? level - 1 : level; }

// Level of an operator code, -1 for none; levels 0 and 3 take one operator.
int operatorLevel(uint8_t op) {
  switch (op) {
    case opRange: return 0;
    case opOr: return 1;
    case opAnd: return 2;
    case opEq: case opNe: case opGt: case opGe: case opLt: case opLe:
    case opContains: case opBegins: case opEnds: return 3;
    case opAdd: case opSub: return 4;
    case opMul: case opDiv: case opMod: return 5;
    case opPow: return 6;
    default: return -1;
  }
}

bool isPrefixOperator(uint8_t op) {
  return op == opSub || op == opAdd || op == opMul || op == opGt || op == opLt || op == opBar;
}

Operand applyPrefix(uint8_t op, Operand&& v) {
  if (op == opBar) return barValue(std::move(v));
  return op == opSub ? negation(std::move(v)) : listAggregate(op, std::move(v));
}

void addListElement(Operand& list, Operand&& element) {
  if (list.tag == Tag::list) listAppend(list, std::move(element));
  else releaseValue(element);
}

void addListRange(Operand& list, Operand&& first, Operand&& last) {
  if (first.tag == Tag::integer && last.tag == Tag::integer) {
    if (list.tag == Tag::list && !appendRange(list, first.first, last.first)) {
      releaseValue(list);  // too large: the literal is invalid
    }
  } else {
    reportError("Esperava uma faixa de inteiros como elementos da lista");
  }
  releaseValue(first);
  releaseValue(last);
}

void addDictEntry(Operand& dict, int64_t& nextKey, Operand&& first, Operand&& value, bool keyed) {
  std::string key;
  if (keyed) {
    if (first.tag == Tag::integer) nextKey = int64_t(first.first) + 1;
    if (!keyText(first, key)) key = valueText(first);
    releaseValue(first);
  } else {
    key = std::to_string(nextKey++);
    value = first;
    first = Operand{};
  }
  if (dict.tag == Tag::dict) dictSet(dict, key, std::move(value));
  releaseValue(value);
}

Operand notAValue(std::string_view name, const SymtbEntry* entry) {
  if (!entry) {
    reportError(cp("A variável ") + quoted(name) + cp(" não foi inicializada"));
  } else {
    reportError(quoted(name) + cp(" é um identificador de ") + std::string(kindName(entry->kind)) +
                cp("; não pode ser nome de variável"));
  }
  return invalidValue();
}

Operand readIndexList() {
  Operand indexes = theInterp.compileMode ? undefinedValue() : newList();
  long errorsAtStart = errorReportCount();
  if (theToken.kind == tkDot) {
    if (scan() != tkIdentifier) {
      reportError(cp("Esperava um identificador após o seletor \".\""));
      releaseValue(indexes);
      return invalidValue();
    }
    if (indexes.tag == Tag::list) listAppend(indexes, stringValue(theToken.raw));
    scan();
    return theInterp.compileMode ? newList() : indexes;
  }
  if (scan() == tkRightBracket) {
    scan();
    return theInterp.compileMode ? newList() : indexes;
  }
  for (;;) {
    Operand index = readHolding(indexes, nullptr, [] { return evaluate(0); });
    if (indexes.tag == Tag::list && index.tag != Tag::invalid) listAppend(indexes, std::move(index));
    releaseValue(index);
    if (!nextLiteralItem(tkRightBracket, " não era esperado", errorsAtStart)) break;
  }
  return theInterp.compileMode ? newList() : indexes;
}

Operand evaluate(int level) { return climb(level); }

Operand evaluateAs(Tag wanted) {
  Operand v = evaluate(wanted == Tag::range ? 0 : 1);
  if (wanted == Tag::integer && v.tag == Tag::string) {
    Operand n = toInteger(v);
    releaseValue(v);
    return n;
  }
  if (wanted == Tag::string && v.tag != Tag::string) {
    Operand s = toStringValue(v);
    releaseValue(v);
    return s;
  }
  return v;
}

void skimExpression() {
  bool saved = theInterp.reportErrors;
  theInterp.reportErrors = false;
  Operand v = evaluate(1);
  releaseValue(v);
  theInterp.reportErrors = saved;
}

SymtbEntry* resolveCurrentToken() { return resolveToken(*theToken.current); }

SymtbEntry* lookUpToken(const Token& name) {
  const Token* token = &name;
  const InterpreterState& in = theInterp;
  SymtbEntry* entry = resolveHashed(in.currentScript, in.currentFunction, token->text, token->hash);
  token->cachedEntry = entry;
  token->cachedGeneration = tableGeneration();
  token->cachedScript = in.currentScript;
  token->cachedFunction = in.currentFunction;
  return entry;
}

SymtbEntry* resolveCurrentName() {
  SymtbEntry* entry = resolveCurrentToken();
  while (entry && entry->kind == skModule) {
    if (scan() != tkDot || scan() != tkIdentifier) {
      reportError(cp("Esperava um identificador após o ponto"));
      return nullptr;
    }
    entry = resolve(entry->wordA, nullptr, theToken.text);
  }
  return entry;
}

VarCell* missingArgumentCell() {
  static VarCell missing;
  releaseValue(missing.value);
  missing = VarCell{-1, undefinedValue()};
  return &missing;
}

Operand readVariable(SymtbEntry& entry) {
  VarCell* cell = variableCell(entry);
  const Operand& domain = cell->value;
  int32_t position = cell->position;
  if (position < 0) return shared(domain);
  switch (domain.tag) {
    case Tag::range: return integerValue(rangeElement(domain, position));
    case Tag::string:
      if (size_t(position) >= textOf(domain).size()) return undefinedValue();
      return stringValue(std::string(1, textOf(domain)[size_t(position)]));
    case Tag::list: return listGet(domain, position);
    default: return undefinedValue();
  }
}

}  // namespace varlo
