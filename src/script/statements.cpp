// Lines that start with a name that is no command (assignment or call),
// lines that start with an expression, SEJA and DESTROI.
#include "script/commands.h"
#include "script/expr.h"
#include "script/flow.h"
#include "script/interp.h"
#include "script/output.h"

namespace varlo {

namespace {

bool isAssignToken() {
  return theToken.kind == tkAssign || (theToken.kind == tkOperator && theToken.op == opEq);
}

bool interactive() { return theInterp.currentScript == 0; }

// Evaluates the rest of the line as an expression and prints its value.
bool printExpression() {
  Operand v = evaluate(1);
  printLine(valueText(v));
  releaseValue(v);
  return true;
}

bool assignEvaluated(const Lvalue& target) {
  Operand v = evaluate(1);
  if (v.tag == Tag::invalid) {
    return fail(cp("Expressão inválida; a variável ") + quoted(lvalueText(target)) +
                cp(" não foi modificada"));
  }
  return assignLvalue(target, std::move(v));
}

bool callStatement(const SymtbEntry& function) {
  rewind();
  Operand v = evaluate(1);
  if (theToken.kind != tkEnd) {
    releaseValue(v);
    return fail(quoted(function.name) + cp(" é um identificador de ") + std::string(kindName(function.kind)) +
                cp(", não pode ser usado como variável"));
  }
  if (v.tag == Tag::invalid) return fail(cp("Chamada inválida da função ") + function.name);
  if (interactive() && v.tag != Tag::undefined) printLine(valueText(v));
  releaseValue(v);
  return true;
}

}  // namespace

bool cmdAssignOrCall() {
  rewind();
  Lvalue target = parseLvalue(true);
  if (!target.valid()) return false;
  if (target.isFunction()) return callStatement(*target.entry);
  if (isAssignToken()) {
    scan();
    return assignEvaluated(target);
  }
  if (interactive()) {
    rewind();
    return printExpression();
  }
  // A silent stop would leave the user without a clue: say what is missing.
  if (theToken.kind == tkEnd) {
    reportError(cp("Esperava uma atribuição à variável ") + quoted(lvalueText(target)));
  }
  return false;
}

bool cmdExpression() {
  if (interactive()) {
    rewind();
    return printExpression();
  }
  skipToEnd();
  return fail("Esperava um comando");
}

bool cmdLet() {
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  if (isAssignToken()) scan();
  if (theToken.kind != tkEnd) return assignEvaluated(target);
  if (target.path.empty()) {
    return fail(cp("Esperava uma expressão para atribuir a ") + quoted(target.entry->name));
  }
  Operand indexes = target.path.back();
  target.path.pop_back();
  return assignLvalue(target, std::move(indexes));
}

bool cmdDestroy() {
  Lvalue target = parseLvalue();
  return target.valid() && assignLvalue(target, undefinedValue());
}

}  // namespace varlo
