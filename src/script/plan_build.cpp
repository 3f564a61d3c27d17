// Building the plan of a line: the statement forms the driver would run,
// read from the line's tokens, with their expressions compiled
// (bytecode_compile.cpp), or nothing when the line is not plain enough.
#include <algorithm>
#include <string_view>

#include "script/commands.h"
#include "script/expr.h"
#include "script/flow.h"
#include "script/interp.h"
#include "script/plan.h"

namespace varlo {

namespace {

bool isFunctionKind(uint8_t kind) { return kind == skBuiltin || kind == skFunction; }

bool buildAssignOrCall(ExpressionCompiler& b, LinePlan& plan) {
  const Token& t = b.current();
  SymtbEntry* e = resolveToken(t);
  if (e && isFunctionKind(e->kind)) {
    plan.statement = psCall;
    plan.name = &t;
    plan.expression = b.expression(1, true);
    return b.atEnd();
  }
  if (e && e->kind != skVariable) return false;
  plan.statement = psAssign;
  plan.name = &t;
  b.next();
  b.indexLists(plan.pathFirst, plan.pathCount, plan.pathIndex);
  const Token& assign = b.current();
  if (assign.kind != tkAssign && !(assign.kind == tkOperator && assign.op == opEq)) return false;
  b.next();
  plan.expression = b.expression(1, true);
  return b.atEnd();
}

bool buildCondition(ExpressionCompiler& b, LinePlan& plan, PlanStatement statement, std::string_view closing) {
  plan.statement = statement;
  plan.expression = b.expression(1, true);
  if (b.refused()) return false;
  b.skipWord(closing);
  return b.atEnd();
}

// RETORNA after ENTAO, when the word is that command as the token reader
// finds it.
bool thenReturn(ExpressionCompiler& inner, LinePlan& trial, const SymtbEntry& command) {
  if (command.kind != skCommand || command.command != cmdReturn) return false;
  inner.next();
  if (!inner.skipWord("FUNCAO") && !inner.atEnd()) trial.thenExpression = inner.expression(1, true);
  if (inner.refused() || !inner.atEnd()) return false;
  trial.thenReturn = &command;
  return true;
}

// An assignment after ENTAO, moved to the then fields (the condition
// stays the plan's expression).
bool thenAssignment(ExpressionCompiler& inner, LinePlan& trial, uint32_t condition) {
  if (!buildAssignOrCall(inner, trial) || inner.refused() || trial.statement != psAssign) return false;
  trial.statement = psOneLineIf;
  trial.thenName = trial.name;
  trial.thenPathFirst = trial.pathFirst;
  trial.thenPathCount = trial.pathCount;
  trial.thenPathIndex = trial.pathIndex;
  trial.thenExpression = trial.expression;
  trial.name = nullptr;
  trial.pathFirst = trial.pathCount = 0;
  trial.pathIndex = kNoCode;
  trial.expression = condition;
  return true;
}

// The statement after ENTAO when it is an assignment or RETORNA, tried on
// a copy of the plan so that a statement that cannot be planned leaves the
// condition's plan as it was. Not after a call in the condition: the call
// could change what the statement's names are.
void buildThenStatement(int32_t s, ExpressionCompiler& b, LinePlan& plan) {
  if (b.refused() || b.sawCall()) return;
  LinePlan trial = plan;
  ExpressionCompiler inner(s, trial.chunk, trial.tokens->tokens);
  inner.setIndex(b.index());
  inner.skipWord("ENTAO");
  if (inner.current().kind != tkIdentifier) return;
  const SymtbEntry* command = findCommand(inner.current().text);
  if (command ? thenReturn(inner, trial, *command) : thenAssignment(inner, trial, plan.expression)) {
    plan = std::move(trial);
  }
}

bool buildOneLineIf(int32_t s, ExpressionCompiler& b, LinePlan& plan) {
  plan.statement = psOneLineIf;
  plan.expression = b.expression(1, true);
  plan.rest = uint32_t(b.index());
  buildThenStatement(s, b, plan);
  return true;
}

bool buildFor(ExpressionCompiler& b, LinePlan& plan) {
  const Token& t = b.current();
  if (t.kind != tkIdentifier) return false;
  SymtbEntry* e = resolveToken(t);
  if (e && e->kind != skVariable) return false;
  plan.name = &t;
  b.next();
  if (b.current().kind == tkDot || b.current().kind == tkLeftBracket) return false;
  if (b.skipWord("EM")) {
    plan.statement = psForIn;
    plan.expression = b.expression(0, false);
  } else {
    plan.statement = psForBounds;
    b.skipWord("DE");
    plan.expression = b.expression(1, false);
    if (b.current().kind == tkOperator && b.current().op == opRange) b.next();
    else if (!b.skipWord("ATE")) b.skipWord("A");
    plan.second = b.expression(1, false);
    if (b.refused()) return false;
    plan.downward = b.skipWord("DECRESCENDO");
    if (!plan.downward) b.skipWord("CRESCENDO");
  }
  if (b.refused()) return false;
  b.skipWord("FACA");
  return b.atEnd();
}

bool buildEnd(int32_t s, CodeRec& code, ExpressionCompiler& b, LinePlan& plan) {
  const Token& complement = b.current();
  if (complement.kind != tkIdentifier) return false;
  b.next();
  if (!b.atEnd()) return false;
  if (complement.text == "ENQUANTO") plan.statement = psEndWhile;
  else if (complement.text == "SE") plan.statement = psNothing;
  else if (complement.text != "PARA") return false;
  if (complement.text != "PARA") return true;
  plan.statement = psEndFor;
  plan.loopTokens = scriptLineTokens(s, code.link);
  const auto& loop = plan.loopTokens->tokens;
  size_t k = statementStart(loop) + 1;
  if (k >= loop.size() || loop[k].kind != tkIdentifier) return false;
  plan.name = &loop[k];
  return true;
}

bool buildReturn(ExpressionCompiler& b, LinePlan& plan) {
  plan.statement = psReturn;
  if (b.skipWord("FUNCAO") || b.atEnd()) return b.atEnd();
  plan.expression = b.expression(1, true);
  return !b.refused() && b.atEnd();
}

bool buildFunction(ExpressionCompiler& b, LinePlan& plan) {
  plan.statement = psFunction;
  if (b.current().kind != tkIdentifier) return false;
  b.next();
  if (b.current().kind == tkLeftParen) {
    b.next();
    while (b.current().kind != tkRightParen) {
      if (b.current().kind == tkColon || b.current().kind == tkEnd) return false;
      if (b.current().kind == tkIdentifier) plan.parameters.push_back({&b.current(), nullptr, 0});
      b.next();
    }
    b.next();
  }
  return b.atEnd();
}

bool buildStatement(int32_t s, CodeRec& code, ExpressionCompiler& b, LinePlan& plan) {
  SymtbEntry* command = plan.command;
  CommandHandler handler = command->command;
  if (command == &assignOrCallStatement()) return buildAssignOrCall(b, plan);
  b.next();  // the command word
  if (command == &oneLineIfStatement()) return buildOneLineIf(s, b, plan);
  if (handler == cmdIf) return buildCondition(b, plan, psIf, "ENTAO");
  if (handler == cmdWhile) return buildCondition(b, plan, psWhile, "FACA");
  if (handler == cmdFor) return buildFor(b, plan);
  if (handler == cmdReturn) return buildReturn(b, plan);
  if (handler == cmdFunction) return buildFunction(b, plan);
  if (handler == cmdEnd) return buildEnd(s, code, b, plan);
  if (handler == cmdContinue) {
    plan.statement = psContinue;
    return b.atEnd();
  }
  if (handler == cmdElse) {
    if (b.skipWord("SE")) return buildCondition(b, plan, psIf, "ENTAO");
    plan.statement = psNothing;
    return b.atEnd();
  }
  return false;
}

}  // namespace

QuickForm quickForm(const LinePlan& plan) {
  bool integers = plainExpression(plan, plan.expression);
  switch (plan.statement) {
    case psAssign:
      if (!integers) return qkNone;
      if (plan.pathCount == 0) return qkIntegerAssign;
      return plainExpression(plan, plan.pathIndex) ? qkElementAssign : qkNone;
    case psOneLineIf:
      if (integers && plan.thenReturn) {
        return plan.thenExpression == kNoCode || plainExpression(plan, plan.thenExpression) ? qkIntegerThenReturn : qkNone;
      }
      return integers && plan.thenName && plan.thenPathCount == 0 && plainExpression(plan, plan.thenExpression)
                 ? qkIntegerThen
                 : qkNone;
    case psIf: return integers ? qkIntegerIf : qkNone;
    case psWhile: return integers ? qkIntegerWhile : qkNone;
    case psEndWhile: return qkEndWhile;
    case psEndFor: return qkEndFor;
    case psNothing: return qkNothing;
    case psFunction: return qkFunction;
    case psReturn: return plan.expression == kNoCode || plainExpression(plan, plan.expression) ? qkReturn : qkNone;
    default: return qkNone;
  }
}

std::shared_ptr<LinePlan> buildPlan(int32_t s, int32_t line, CodeRec& code) {
  if (!code.command || line <= 0) return nullptr;
  auto plan = std::make_shared<LinePlan>();
  plan->tokens = scriptLineTokens(s, line);
  for (const Token& t : plan->tokens->tokens) {
    if (t.hasErrors) return nullptr;
  }
  plan->command = code.command;
  ExpressionCompiler b(s, plan->chunk, plan->tokens->tokens);
  b.setIndex(statementStart(plan->tokens->tokens));
  if (b.current().kind != tkIdentifier) return nullptr;
  if (!buildStatement(s, code, b, *plan) || b.refused()) return nullptr;
  plan->quick = quickForm(*plan);
  pinNames(*plan);
  return plan;
}

}  // namespace varlo
