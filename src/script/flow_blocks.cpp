// SE, SENAO, ENQUANTO, PARA, REPETE, FIM, QUEBRA and CONTINUA: they move
// the next line along the links the compiler stored.
#include "script/commands.h"
#include "script/expr.h"
#include "script/flow.h"
#include "script/interp.h"

namespace varlo {

namespace {

CodeRec& lineCode(int32_t line) { return currentScript().lines[size_t(line)]; }
int32_t thisLine() { return currentScript().currentLine; }
void continueAfter(int32_t line) { currentScript().nextLine = lineCode(line).next; }

bool evaluateCondition(bool& holds) {
  Operand c = evaluate(1);
  holds = conditionHolds(c);
  releaseValue(c);
  return true;
}

void skipWord(std::string_view word) {
  if (isWord(word)) scan();
}

// Number of values a PARA domain runs through.
int64_t domainLength(const Operand& d) {
  switch (d.tag) {
    case Tag::range: return rangeLength(d);
    case Tag::string: return int64_t(textOf(d).size());
    case Tag::list: return listLength(d);
    default: return 0;
  }
}

}  // namespace

bool iteratorDomain(Operand&& v, Operand& domain) {
  switch (v.tag) {
    case Tag::integer: domain = rangeValue(v.first, v.first); return true;
    case Tag::range: case Tag::string: case Tag::list: domain = v; return true;
    case Tag::dict: {
      domain = newList();
      for (DicNode* n = v.obj->firstNode; n; n = n->next) listAppend(domain, stringValue(n->key));
      releaseValue(v);
      return true;
    }
    default:
      releaseValue(v);
      return fail(cp("Domínio inválido para um iterador"));
  }
}

namespace {

// PARA v [DE] a [.. | ATE | A] b [CRESCENDO | DECRESCENDO]
bool readBounds(Operand& domain) {
  skipWord("DE");
  Operand a = evaluateAs(Tag::integer);
  if (theToken.kind == tkOperator && theToken.op == opRange) scan();
  else if (isWord("ATE") || isWord("A")) scan();
  Operand b = evaluateAs(Tag::integer);
  int32_t first = a.first, last = b.first;
  if (!integerBounds(std::move(a), std::move(b))) return false;
  bool downward = isWord("DECRESCENDO");
  if (downward || isWord("CRESCENDO")) scan();
  domain = boundsDomain(first, last, downward);
  return true;
}

// The variable named on a PARA or REPETE line (re-read by FIM and QUEBRA).
SymtbEntry* loopVariable(int32_t loopLine) {
  startScriptLine(theInterp.currentScript, loopLine);
  if (scan() == tkLabel && scan() == tkColon) scan();
  if (scan() != tkIdentifier) return nullptr;
  SymtbEntry* e = resolveCurrentName();
  return e && e->kind == skVariable ? e : nullptr;
}

std::string_view loopName(int32_t loopLine) {
  const SymtbEntry* c = lineCode(loopLine).command;
  return c ? std::string_view(c->name) : std::string_view();
}

void resetIterator(VarCell& cell) {
  releaseValue(cell.value);
  cell.value = undefinedValue();
  cell.position = -1;
}

bool endFor(int32_t loopLine) {
  SymtbEntry* e = loopVariable(loopLine);
  VarCell* cell = e ? variableCell(*e) : nullptr;
  if (!cell || cell->position < 0) {
    return fail(cp("A variável ") + std::string(e ? e->name : theToken.text) + cp(" não é um iterador"));
  }
  advanceIterator(*cell, loopLine);
  return true;
}

// REPETE's counter and its integer limit, read from the current token on.
bool repeatOperands(Lvalue& target, int32_t& limit) {
  target = parseLvalue();
  if (!target.valid()) return false;
  Operand value = evaluateAs(Tag::integer);
  if (value.tag != Tag::integer) {
    releaseValue(value);
    return fail(cp("Limite superior para o comando REPETE deve ser inteiro"));
  }
  limit = value.first;
  return true;
}

bool endRepeat(int32_t loopLine) {
  startScriptLine(theInterp.currentScript, loopLine);
  if (scan() == tkLabel && scan() == tkColon) scan();
  scan();
  Lvalue target;
  int32_t limit;
  if (!repeatOperands(target, limit)) return false;
  Operand counter = readLvalue(target);
  Operand n = toInteger(counter);
  releaseValue(counter);
  if (n.tag != Tag::integer) {
    releaseValue(n);
    return fail(cp("A variável de controle do comando REPETE não contém um valor inteiro"));
  }
  if (n.first < limit) {
    if (!assignLvalue(target, integerValue(n.first + 1))) return false;
    currentScript().nextLine = loopLine + 1;
  }
  return true;
}

}  // namespace

bool conditionHolds(const Operand& v) {
  switch (v.tag) {
    case Tag::integer: return v.first != 0;
    case Tag::string: case Tag::dict: case Tag::list: return isTrue(v);
    default: return false;
  }
}

bool integerBounds(Operand&& a, Operand&& b) {
  bool integers = a.tag == Tag::integer && b.tag == Tag::integer;
  releaseValue(a);
  releaseValue(b);
  if (!integers) return fail(cp("Limites para a variável de controle devem ser INTEIROS"));
  return true;
}

Operand boundsDomain(int32_t first, int32_t last, bool downward) {
  bool empty = downward ? first < last : last < first;
  return empty ? newList() : rangeValue(first, last);
}

void startIterator(SymtbEntry& variable, Operand&& domain) {
  VarCell* cell = variableCell(variable);
  releaseValue(cell->value);
  if (domainLength(domain) == 0) {
    releaseValue(domain);
    cell->value = undefinedValue();
    cell->position = -1;
    continueAfter(lineCode(thisLine()).link);
    return;
  }
  cell->value = domain;
  domain = Operand{};
  cell->position = 0;
}

void advanceIterator(VarCell& cell, int32_t loopLine) {
  if (cell.position < domainLength(cell.value) - 1) {
    ++cell.position;
    currentScript().nextLine = loopLine + 1;
  } else {
    resetIterator(cell);
  }
}

bool cmdIf() {
  if (theInterp.currentScript == 0) return cmdOneLineIf();
  bool holds;
  evaluateCondition(holds);
  skipWord("ENTAO");
  if (!holds) currentScript().nextLine = lineCode(thisLine()).link;
  return true;
}

bool cmdOneLineIf() {
  bool holds;
  evaluateCondition(holds);
  return oneLineIfRest(holds);
}

bool oneLineIfRest(bool holds) {
  skipWord("ENTAO");
  if (!holds || theToken.kind == tkEnd) {
    skipToEnd();
    return true;
  }
  SymtbEntry* statement = nullptr;
  if (theToken.kind == tkIdentifier) {
    SymtbEntry* e = findCommand(theToken.text);
    if (e && (e->kind == skCommand || e->kind == skBreak || e->kind == skContinue)) statement = e;
    else if (!e) statement = &assignOrCallStatement();
  }
  if (!statement) return fail("Esperava um comando simples na mesma linha do comando SE");
  mark();
  scan();
  const SymtbEntry* outer = theInterp.currentCommand;
  theInterp.currentCommand = statement;
  bool ok = statement->command();
  theInterp.currentCommand = outer;
  return ok;
}

bool cmdElse() {
  if (!isWord("SE")) return true;
  scan();
  return cmdIf();
}

bool cmdWhile() {
  bool holds;
  evaluateCondition(holds);
  skipWord("FACA");
  if (!holds) continueAfter(lineCode(thisLine()).link);
  return true;
}

bool cmdFor() {
  if (theToken.kind != tkIdentifier) return fail(cp("Um iterador deve ser uma váriável simples, sem índices"));
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  if (!target.path.empty()) return fail(cp("Um iterador deve ser uma váriável simples, sem índices"));
  Operand domain;
  if (isWord("EM")) {
    scan();
    if (!iteratorDomain(evaluate(0), domain)) return false;
  } else if (!readBounds(domain)) {
    return false;
  }
  skipWord("FACA");
  startIterator(*target.entry, std::move(domain));
  return true;
}

bool cmdRepeat() {
  Lvalue target;
  int32_t limit;
  if (!repeatOperands(target, limit)) return false;
  if (!assignLvalue(target, integerValue(1))) return false;
  if (limit <= 0) continueAfter(lineCode(thisLine()).link);
  return true;
}

bool cmdEnd() {
  std::string_view complement = theToken.text;
  scan();
  if (complement != "PARA" && complement != "REPETE") {
    if (complement == "ENQUANTO") currentScript().nextLine = lineCode(thisLine()).link;
    return true;
  }
  // The loop line is read again; the lexer is left at its end.
  int32_t loopLine = lineCode(thisLine()).link;
  bool ok = complement == "PARA" ? endFor(loopLine) : endRepeat(loopLine);
  skipToEnd();
  return ok;
}

bool cmdBreak() {
  int32_t loopLine = lineCode(thisLine()).link;
  int32_t endLine = lineCode(loopLine).link;
  if (loopName(loopLine) == "PARA") {
    SymtbEntry* e = loopVariable(loopLine);
    if (e) resetIterator(*variableCell(*e));
    skipToEnd();
  }
  continueAfter(endLine);
  return true;
}

bool cmdContinue() {
  int32_t loopLine = lineCode(thisLine()).link;
  currentScript().nextLine = lineCode(loopLine).link;
  return true;
}

}  // namespace varlo
