// Building the plan of a line: the statement forms the driver would run and
// their expressions, parsed from the line's tokens the way the evaluator
// reads them (expr.cpp), or nothing when the line is not plain enough.
#include <algorithm>
#include <string_view>

#include "script/commands.h"
#include "script/expr.h"
#include "script/flow.h"
#include "script/interp.h"
#include "script/plan.h"

namespace varlo {

namespace {

constexpr int kMaxDepth = 48;

bool isWordToken(const Token& t, std::string_view word) {
  return t.kind == tkIdentifier && t.text == word;
}

bool isFunctionKind(uint8_t kind) { return kind == skBuiltin || kind == skFunction; }

size_t statementStart(const std::vector<Token>& tokens);

// Names declared as parameters or locals of a user function (on its FUNCAO
// line after the name, and on its LOCAL lines): a call to a function of
// that name could meet a local instead once one is declared.
bool declaresName(int32_t s, const SymtbEntry& function, std::string_view name) {
  const ScriptRec& r = scriptSlot(s);
  int32_t last = function.wordA > 0 ? function.wordA : r.lastLine;
  for (int32_t line = function.line; line <= last && line <= r.lastLine; ++line) {
    const auto& tokens = scriptLineTokens(s, line)->tokens;
    size_t start = statementStart(tokens);
    bool declaring = line == function.line || isWordToken(tokens[start], "LOCAL");
    size_t from = line == function.line ? start + 2 : start + 1;
    for (size_t i = from; declaring && i < tokens.size(); ++i) {
      if (isWordToken(tokens[i], name)) return true;
    }
  }
  return false;
}

class Builder {
 public:
  Builder(int32_t s, LinePlan& plan)
      : s_(s), function_(theInterp.currentFunction), plan_(plan), tokens_(plan.tokens->tokens) {}

  bool refused() const { return refused_; }
  bool sawCall() const { return afterCall_; }
  size_t index() const { return i_; }
  void setIndex(size_t i) { i_ = i; }
  const Token& current() const { return tokens_[i_]; }
  const Token& at(size_t i) const { return tokens_[std::min(i, tokens_.size() - 1)]; }
  void next() {
    if (!tokens_[i_].terminal) ++i_;
  }
  bool atEnd() const { return current().kind == tkEnd; }
  bool skipWord(std::string_view word) {
    if (!isWordToken(current(), word)) return false;
    next();
    return true;
  }
  uint32_t refuse() {
    refused_ = true;
    return kNoNode;
  }

  uint32_t expression(int level, bool chain) {
    if (refused_) return kNoNode;
    return climb(level, chain);
  }

  // Index lists of a selector path, into plan.children.
  void indexLists(uint32_t& first, uint32_t& count) {
    std::vector<uint32_t> lists;
    while (!refused_ && (current().kind == tkDot || current().kind == tkLeftBracket)) {
      lists.push_back(indexList());
    }
    first = uint32_t(plan_.children.size());
    count = uint32_t(lists.size());
    plan_.children.insert(plan_.children.end(), lists.begin(), lists.end());
  }

 private:
  uint32_t add(PlanNode node) {
    plan_.nodes.push_back(node);
    return uint32_t(plan_.nodes.size() - 1);
  }

  uint32_t addChildren(const std::vector<uint32_t>& list, uint8_t kind) {
    PlanNode n;
    n.kind = kind;
    n.first = uint32_t(plan_.children.size());
    n.count = uint32_t(list.size());
    plan_.children.insert(plan_.children.end(), list.begin(), list.end());
    return add(n);
  }

  uint32_t addPairs(const std::vector<PlanPair>& list, uint8_t kind) {
    PlanNode n;
    n.kind = kind;
    n.first = uint32_t(plan_.pairs.size());
    n.count = uint32_t(list.size());
    plan_.pairs.insert(plan_.pairs.end(), list.begin(), list.end());
    return add(n);
  }

  // The operator at the current token: an Operator token, or the words E
  // and OU (whose taking depends on the value to their left).
  uint8_t currentOperator(bool& word) const {
    const Token& t = current();
    word = false;
    if (t.kind == tkOperator) return t.op;
    if (t.kind != tkIdentifier) return opNone;
    word = true;
    return wordOperator(t.text);
  }

  uint32_t climb(int minLevel, bool chain) {
    uint32_t left = primary();
    int maxLevel = kPrimaryLevel - 1;
    while (!refused_) {
      bool word;
      uint8_t op = currentOperator(word);
      int level = operatorLevel(op);
      if (level < minLevel || level > maxLevel) break;
      // E and OU are planned only on the top level of a statement's
      // expression, where an early end leaves the rest of the line over.
      if (word && !chain) return refuse();
      PlanNode n;
      n.kind = word ? pnLogical : pnBinary;
      n.op = op;
      n.token = &current();
      next();
      n.left = left;
      n.right = climb(level + 1, chain && op == opOr);
      left = add(n);
      maxLevel = levelAfter(level);
    }
    return left;
  }

  uint32_t primary() {
    if (++depth_ > kMaxDepth) return refuse();
    uint32_t node = kNoNode;
    const Token& t = current();
    switch (t.kind) {
      case tkIdentifier: node = name(); break;
      case tkInteger: {
        PlanNode n;
        n.kind = pnInteger;
        n.integer = t.integer;
        next();
        node = add(n);
        break;
      }
      case tkString: {
        PlanNode n;
        n.kind = pnString;
        n.token = &t;
        next();
        node = add(n);
        break;
      }
      case tkOperator: node = prefix(); break;
      case tkLeftParen:
        next();
        node = climb(1, false);
        if (current().kind != tkRightParen) return refuse();
        next();
        break;
      case tkLeftBracket: node = pairLiteral(tkRightBracket, pnList); break;
      case tkLeftBrace: node = pairLiteral(tkRightBrace, pnDict); break;
      default:
        --depth_;
        return add(PlanNode{});  // nothing read: invalid
    }
    while (!refused_ && (current().kind == tkDot || current().kind == tkLeftBracket)) {
      PlanNode n;
      n.kind = pnSelect;
      n.left = node;
      n.right = indexList();
      node = add(n);
    }
    --depth_;
    return refused_ ? kNoNode : node;
  }

  uint32_t prefix() {
    uint8_t op = current().op;
    if (!isPrefixOperator(op)) return refuse();
    next();
    PlanNode n;
    n.kind = pnPrefix;
    n.op = op;
    if (op == opBar) {
      n.left = climb(1, false);
      if (current().kind != tkOperator || current().op != opBar) return refuse();
      next();
    } else {
      n.left = primary();
    }
    return refused_ ? kNoNode : add(n);
  }

  // A list "[a, b..c]" or a dictionary "{k: v}": pairs of expressions whose
  // second half follows ".." in a list and ":" in a dictionary.
  uint32_t pairLiteral(uint8_t closer, uint8_t kind) {
    next();
    std::vector<PlanPair> pairs;
    if (current().kind == closer) {
      next();
      return addPairs(pairs, kind);
    }
    for (;;) {
      PlanPair p;
      p.a = climb(1, false);
      if (joinsPair(kind)) {
        next();
        p.b = climb(1, false);
      }
      if (refused_) return kNoNode;
      pairs.push_back(p);
      if (current().kind == tkComma) {
        next();
      } else if (current().kind == closer) {
        next();
        break;
      } else {
        return refuse();
      }
    }
    return addPairs(pairs, kind);
  }

  bool joinsPair(uint8_t kind) {
    const Token& t = current();
    return kind == pnDict ? t.kind == tkColon : t.kind == tkOperator && t.op == opRange;
  }

  uint32_t indexList() {
    if (current().kind == tkDot) {
      next();
      if (current().kind != tkIdentifier) return refuse();
      PlanNode n;
      n.kind = pnIndexName;
      n.token = &current();
      next();
      return add(n);
    }
    next();
    std::vector<uint32_t> indexes;
    if (current().kind == tkRightBracket) {
      next();
      return addChildren(indexes, pnIndexList);
    }
    for (;;) {
      indexes.push_back(climb(0, false));
      if (refused_) return kNoNode;
      if (current().kind == tkComma) {
        next();
      } else if (current().kind == tkRightBracket) {
        next();
        break;
      } else {
        return refuse();
      }
    }
    return addChildren(indexes, pnIndexList);
  }

  // A name: a value, or a call whose arguments depend on what the name is.
  uint32_t name() {
    const Token& t = current();
    SymtbEntry* e = resolveToken(t);
    if (e && (e->kind == skModule || e->kind == skNew)) return refuse();
    // After a call, a SUPERGLOBAL name could have become anything.
    if (afterCall_ && !t.text.empty() && t.text[0] == '$') return refuse();
    next();
    bool parens = current().kind == tkLeftParen;
    PlanNode n;
    n.token = &t;
    if (parens && (!e || isFunctionKind(e->kind))) {
      if (afterCall_ && !parenCallStays(e, t.text)) return refuse();
      n.kind = pnCall;
      arguments(n, e, true);
    } else if (e && e->kind == skBuiltin && !(e->wordB & kBuiltinNeedsParens)) {
      n.kind = pnCall;
      n.greedy = true;
      n.entry = e;
      arguments(n, e, false);
    } else if (parens) {
      // A value followed by a parenthesis: the token reader would call the
      // name if it were unknown by then.
      return refuse();
    } else {
      n.kind = pnName;
      if (e && isFunctionKind(e->kind)) afterCall_ = true;
    }
    if (refused_) return kNoNode;
    uint32_t node = add(n);
    plan_.names.push_back(node);
    return node;
  }

  // A call with parentheses keeps its form while the name stays a function
  // (or unknown): only a local of the same name declared meanwhile by the
  // running function, or a name that is still unknown, could change it.
  bool parenCallStays(const SymtbEntry* e, std::string_view text) const {
    if (!e) return false;
    if (e->kind == skBuiltin) return true;
    return !function_ || function_->kind != skFunction || !declaresName(s_, *function_, text);
  }

  // Arguments as parseArguments reads them.
  void arguments(PlanNode& n, const SymtbEntry* e, bool parens) {
    bool builtin = e && e->kind == skBuiltin;
    if (parens) next();
    if (builtin && (e->wordB & kBuiltinHashAllowed) && current().kind == tkHash) next();
    std::vector<uint32_t> args;
    int declared = declaredArguments(e);
    auto more = [&]() {
      if (parens) return current().kind != tkRightParen && current().kind != tkEnd;
      return int(args.size()) < declared && current().kind != tkEnd && current().kind != tkRightParen;
    };
    while (!refused_ && more()) {
      size_t before = i_;
      args.push_back(climb(1, false));
      if (current().kind == tkComma) {
        next();
      } else if (i_ == before) {
        break;
      }
    }
    if (refused_) return;
    if (parens) {
      if (current().kind != tkRightParen) {
        refuse();
        return;
      }
      next();
    }
    n.first = uint32_t(plan_.children.size());
    n.count = uint32_t(args.size());
    plan_.children.insert(plan_.children.end(), args.begin(), args.end());
    afterCall_ = true;
  }

  int32_t s_;
  const SymtbEntry* function_;
  LinePlan& plan_;
  const std::vector<Token>& tokens_;
  size_t i_ = 0;
  int depth_ = 0;
  bool refused_ = false;
  bool afterCall_ = false;
};

// Index of the statement's first token: after a label and its colon, as
// the driver skips them.
size_t statementStart(const std::vector<Token>& tokens) {
  if (tokens[0].kind != tkLabel) return 0;
  return tokens.size() > 2 && tokens[1].kind == tkColon ? 2 : 1;
}

bool buildAssignOrCall(Builder& b, LinePlan& plan) {
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
  b.indexLists(plan.pathFirst, plan.pathCount);
  const Token& assign = b.current();
  if (assign.kind != tkAssign && !(assign.kind == tkOperator && assign.op == opEq)) return false;
  b.next();
  plan.expression = b.expression(1, true);
  return b.atEnd();
}

bool buildCondition(Builder& b, LinePlan& plan, PlanStatement statement, std::string_view closing) {
  plan.statement = statement;
  plan.expression = b.expression(1, true);
  if (b.refused()) return false;
  b.skipWord(closing);
  return b.atEnd();
}

// RETORNA after ENTAO, when the word is that command as the token reader
// finds it.
bool thenReturn(Builder& inner, LinePlan& trial, const SymtbEntry& command) {
  if (command.kind != skCommand || command.command != cmdReturn) return false;
  inner.next();
  if (!inner.skipWord("FUNCAO") && !inner.atEnd()) trial.thenExpression = inner.expression(1, true);
  if (inner.refused() || !inner.atEnd()) return false;
  trial.thenReturn = &command;
  return true;
}

// An assignment after ENTAO, moved to the then fields (the condition
// stays the plan's expression).
bool thenAssignment(Builder& inner, LinePlan& trial, uint32_t condition) {
  if (!buildAssignOrCall(inner, trial) || inner.refused() || trial.statement != psAssign) return false;
  trial.statement = psOneLineIf;
  trial.thenName = trial.name;
  trial.thenPathFirst = trial.pathFirst;
  trial.thenPathCount = trial.pathCount;
  trial.thenExpression = trial.expression;
  trial.name = nullptr;
  trial.pathFirst = trial.pathCount = 0;
  trial.expression = condition;
  return true;
}

// The statement after ENTAO when it is an assignment or RETORNA, tried on
// a copy of the plan so that a statement that cannot be planned leaves the
// condition's plan as it was. Not after a call in the condition: the call
// could change what the statement's names are.
void buildThenStatement(int32_t s, Builder& b, LinePlan& plan) {
  if (b.refused() || b.sawCall()) return;
  LinePlan trial = plan;
  Builder inner(s, trial);
  inner.setIndex(b.index());
  inner.skipWord("ENTAO");
  if (inner.current().kind != tkIdentifier) return;
  const SymtbEntry* command = findCommand(inner.current().text);
  if (command ? thenReturn(inner, trial, *command) : thenAssignment(inner, trial, plan.expression)) {
    plan = std::move(trial);
  }
}

bool buildOneLineIf(int32_t s, Builder& b, LinePlan& plan) {
  plan.statement = psOneLineIf;
  plan.expression = b.expression(1, true);
  plan.rest = uint32_t(b.index());
  buildThenStatement(s, b, plan);
  return true;
}

bool buildFor(Builder& b, LinePlan& plan) {
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

bool buildEnd(int32_t s, CodeRec& code, Builder& b, LinePlan& plan) {
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

bool buildReturn(Builder& b, LinePlan& plan) {
  plan.statement = psReturn;
  if (b.skipWord("FUNCAO") || b.atEnd()) return b.atEnd();
  plan.expression = b.expression(1, true);
  return !b.refused() && b.atEnd();
}

bool buildFunction(Builder& b, LinePlan& plan) {
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

bool buildStatement(int32_t s, CodeRec& code, Builder& b, LinePlan& plan) {
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

namespace {

// list[number] or list[name] read inside integer arithmetic: the index
// node, or kNoNode when the node is something else.
uint32_t elementIndex(const LinePlan& plan, const PlanNode& n) {
  if (n.kind != pnSelect || plan.nodes[n.left].kind != pnName) return kNoNode;
  const PlanNode& path = plan.nodes[n.right];
  if (path.kind != pnIndexList || path.count != 1) return kNoNode;
  uint32_t index = plan.children[path.first];
  uint8_t kind = plan.nodes[index].kind;
  return kind == pnInteger || kind == pnName ? index : kNoNode;
}

// The postfix steps of a tree of integer arithmetic. A leaf right before
// its operator carries it: the same reads in the same order, one step less.
void appendIntegerSteps(LinePlan& plan, uint32_t index) {
  const PlanNode& n = plan.nodes[index];
  IntegerStep step;
  step.node = index;
  step.integer = n.integer;
  step.token = n.token;
  if (n.kind == pnInteger) {
    step.kind = isNumber;
  } else if (n.kind == pnName) {
    step.kind = isName;
  } else if (uint32_t at = elementIndex(plan, n); at != kNoNode) {
    const PlanNode& i = plan.nodes[at];
    step.kind = isElement;
    step.token = plan.nodes[n.left].token;
    step.integer = i.integer;
    step.index = i.kind == pnName ? i.token : nullptr;
  } else if (n.kind == pnCall) {
    size_t first = plan.steps.size();
    for (uint32_t k = 0; k < n.count; ++k) appendIntegerSteps(plan, plan.children[n.first + k]);
    if (n.count) plan.steps[first].opens = index;
    step.kind = isCall;
  } else {
    appendIntegerSteps(plan, n.left);
    appendIntegerSteps(plan, n.right);
    // A plain leaf last is the whole right operand.
    IntegerStep& right = plan.steps.back();
    if (right.kind != isOperator && right.kind != isCall && right.op == opNone) {
      right.op = n.op;
      return;
    }
    step.kind = isOperator;
    step.op = n.op;
  }
  plan.steps.push_back(step);
}

// A node that may well give an integer: integer arithmetic, a number or a
// name (checked when it runs).
bool integerShaped(const LinePlan& plan, uint32_t node) {
  const PlanNode& n = plan.nodes[node];
  return plainIntegers(n) || n.kind == pnInteger || n.kind == pnName;
}

// How deep the postfix steps of node i stack values, when it is a tree of
// integer arithmetic (0 when not); its operands come before it in the plan,
// and `calling` marks those that call functions.
int integerDepth(const LinePlan& plan, const std::vector<int>& depth, const std::vector<bool>& calling, size_t i) {
  const PlanNode& n = plan.nodes[i];
  if (n.kind == pnInteger || n.kind == pnName || elementIndex(plan, n) != kNoNode) return 1;
  if (n.kind == pnBinary && integerOperation(n.op) && depth[n.left] && depth[n.right]) {
    return std::max(depth[n.left], depth[n.right] + 1);
  }
  // A call with parentheses whose arguments may all be integers and call
  // nothing themselves: what it gives is seen when it returns.
  if (n.kind != pnCall || n.greedy || n.count > uint32_t(kMaxArguments)) return 0;
  int need = 1;
  for (uint32_t k = 0; k < n.count; ++k) {
    uint32_t argument = plan.children[n.first + k];
    if (!depth[argument] || calling[argument]) return 0;
    need = std::max(need, int(k) + depth[argument]);
  }
  return need;
}

}  // namespace

// One pass finds which nodes are such trees and how deep they stack; a
// second, from the last node back, takes the largest trees under anything
// else. A call is only ever part of a tree: at the top, it is an ordinary
// call whose arguments are trees of their own.
void markIntegerTrees(LinePlan& plan) {
  size_t count = plan.nodes.size();
  std::vector<int> depth(count, 0);
  std::vector<bool> calling(count, false);
  for (size_t i = 0; i < count; ++i) {
    int need = integerDepth(plan, depth, calling, i);
    if (need > kIntegerStackDepth) continue;
    depth[i] = need;
    const PlanNode& n = plan.nodes[i];
    calling[i] = n.kind == pnCall || (n.kind == pnBinary && (calling[n.left] || calling[n.right]));
  }
  std::vector<bool> inTree(count, false);
  for (size_t i = count; i-- > 0;) {
    PlanNode& n = plan.nodes[i];
    if (!depth[i]) continue;
    if (n.kind == pnCall && inTree[i]) {
      for (uint32_t k = 0; k < n.count; ++k) inTree[plan.children[n.first + k]] = true;
    }
    if (n.kind != pnBinary) continue;
    inTree[n.left] = inTree[n.right] = true;
    if (inTree[i]) continue;
    n.integers = true;
    n.first = uint32_t(plan.steps.size());
    appendIntegerSteps(plan, uint32_t(i));
    n.count = uint32_t(plan.steps.size() - n.first);
    n.calls = calling[i];
  }
}

QuickForm quickForm(const LinePlan& plan) {
  bool integers = plan.expression != kNoNode && plainIntegers(plan.nodes[plan.expression]);
  switch (plan.statement) {
    case psAssign:
      if (!integerShaped(plan, plan.expression)) return qkNone;
      if (plan.pathCount == 0) return qkIntegerAssign;
      if (plan.pathCount == 1) {
        const PlanNode& path = plan.nodes[plan.children[plan.pathFirst]];
        if (path.kind == pnIndexList && path.count == 1 && integerShaped(plan, plan.children[path.first])) {
          return qkElementAssign;
        }
      }
      return qkNone;
    case psOneLineIf:
      if (integers && plan.thenReturn) {
        return plan.thenExpression == kNoNode || integerShaped(plan, plan.thenExpression) ? qkIntegerThenReturn : qkNone;
      }
      return integers && plan.thenName && plan.thenPathCount == 0 && integerShaped(plan, plan.thenExpression)
                 ? qkIntegerThen
                 : qkNone;
    case psIf: return integers ? qkIntegerIf : qkNone;
    case psWhile: return integers ? qkIntegerWhile : qkNone;
    case psEndWhile: return qkEndWhile;
    case psEndFor: return qkEndFor;
    case psNothing: return qkNothing;
    case psFunction: return qkFunction;
    case psReturn: return plan.expression == kNoNode || integerShaped(plan, plan.expression) ? qkReturn : qkNone;
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
  Builder b(s, *plan);
  b.setIndex(statementStart(plan->tokens->tokens));
  if (b.current().kind != tkIdentifier) return nullptr;
  if (!buildStatement(s, code, b, *plan) || b.refused()) return nullptr;
  markIntegerTrees(*plan);
  plan->quick = quickForm(*plan);
  pinNames(*plan);
  return plan;
}

}  // namespace varlo
