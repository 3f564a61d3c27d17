// The compiler of expressions to the stack machine's code: the precedence
// climbing of the token evaluator (expr.cpp), emitting instructions where
// the evaluator computes, or refusing a line that is not plain enough.
#include <algorithm>
#include <string_view>

#include "script/bytecode.h"
#include "script/interp.h"

namespace varlo {

const char* const kOpcodeNames[] = {
    "INTEGER", "STRING", "INVALID", "NAME", "ELEMENT", "BINARY", "BINARY_INTEGER", "BINARY_NAME", "LOGICAL", "PREFIX", "CALLEE", "CALL",
    "LIST", "LIST_ADD", "LIST_RANGE", "DICT", "DICT_ADD", "DICT_KEYED", "INDEX_NAME", "INDEX_LIST",
    "SELECT", "SELECT_ONE",
};

namespace {

constexpr int kMaxDepth = 48;

bool isWordToken(const Token& t, std::string_view word) { return t.kind == tkIdentifier && t.text == word; }

bool isFunctionKind(uint8_t kind) { return kind == skBuiltin || kind == skFunction; }

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

// Operators whose integer pairs the machine computes itself.
bool integerOperation(uint8_t op) {
  int32_t unused;
  return integerOperator(op, 1, 1, unused);
}

// Whether instructions [first, end) only read numbers and names and apply
// integer operators.
bool plainCode(const Chunk& chunk, uint32_t first, uint32_t end) {
  for (uint32_t k = first; k < end; ++k) {
    const Instruction& i = chunk.code[k];
    bool binary = i.code == bcBinary || i.code == bcBinaryInteger || i.code == bcBinaryName;
    bool plain = i.code == bcInteger || i.code == bcName || i.code == bcElement || (binary && integerOperation(i.op));
    if (!plain) return false;
  }
  return first < end;
}

}  // namespace

size_t statementStart(const std::vector<Token>& tokens) {
  if (tokens[0].kind != tkLabel) return 0;
  return tokens.size() > 2 && tokens[1].kind == tkColon ? 2 : 1;
}

ExpressionCompiler::ExpressionCompiler(int32_t script, Chunk& chunk, const std::vector<Token>& tokens)
    : script_(script), function_(theInterp.currentFunction), chunk_(chunk), tokens_(tokens) {}

bool ExpressionCompiler::skipWord(std::string_view word) {
  if (!isWordToken(current(), word)) return false;
  next();
  return true;
}

void ExpressionCompiler::emit(uint8_t code, int32_t a, int32_t b, uint8_t op, int32_t c) {
  Instruction i;
  i.code = code;
  i.op = op;
  i.a = a;
  i.b = b;
  i.c = c;
  chunk_.code.push_back(i);
}

int32_t ExpressionCompiler::slot(const Token& t, uint8_t use, SymtbEntry* entry) {
  chunk_.names.push_back({&t, use, entry});
  return int32_t(chunk_.names.size() - 1);
}

void ExpressionCompiler::push(int n) {
  stack_ += n;
  deepest_ = std::max(deepest_, stack_);
}

uint32_t ExpressionCompiler::finish(uint32_t first) {
  if (refused_ || deepest_ > kMachineStack) return refuse();
  uint32_t end = uint32_t(chunk_.code.size());
  chunk_.expressions.push_back({first, end, plainCode(chunk_, first, end)});
  return uint32_t(chunk_.expressions.size() - 1);
}

uint32_t ExpressionCompiler::expression(int level, bool chain) {
  if (refused_) return kNoCode;
  stack_ = deepest_ = 0;
  uint32_t first = uint32_t(chunk_.code.size());
  climb(level, chain);
  return finish(first);
}

void ExpressionCompiler::indexLists(uint32_t& first, uint32_t& count, uint32_t& single) {
  first = uint32_t(chunk_.expressions.size());
  count = 0;
  single = kNoCode;
  while (!refused_ && (current().kind == tkDot || current().kind == tkLeftBracket)) {
    stack_ = deepest_ = 0;
    uint32_t start = uint32_t(chunk_.code.size());
    indexList();
    finish(start);
    ++count;
  }
  if (refused_ || count != 1) return;
  // One bracket of one index: the index alone is the code before its list.
  const ExprCode path = chunk_.expressions.back();
  const Instruction& last = chunk_.code[path.end - 1];
  if (last.code != bcIndexList || last.a != 1) return;
  chunk_.expressions.push_back({path.first, path.end - 1, plainCode(chunk_, path.first, path.end - 1)});
  single = uint32_t(chunk_.expressions.size() - 1);
}

// The words E and OU are operators of the top level of a statement's
// expression only: there they end it early after a value other than 0 or
// 1, the logical instruction then jumping past the operator's right side.
void ExpressionCompiler::climb(int minLevel, bool chain) {
  primary();
  int maxLevel = kPrimaryLevel - 1;
  while (!refused_) {
    const Token& t = current();
    bool word = t.kind == tkIdentifier;
    uint8_t op = t.kind == tkOperator ? t.op : word ? wordOperator(t.text) : uint8_t(opNone);
    int level = operatorLevel(op);
    if (level < minLevel || level > maxLevel) break;
    if (word && !chain) {
      refuse();
      return;
    }
    next();
    size_t logical = chunk_.code.size();
    if (word) emit(bcLogical, slot(t, nuText), 0, op);
    size_t right = chunk_.code.size();
    climb(level + 1, chain && op == opOr);
    binary(op, right);
    if (word) chunk_.code[logical].b = int32_t(chunk_.code.size());
    maxLevel = levelAfter(level);
  }
}

// An operator whose right operand, from instruction `right` on, is a
// number or a name carries that operand: one instruction less to run.
void ExpressionCompiler::binary(uint8_t op, size_t right) {
  auto& code = chunk_.code;
  push(-1);
  if (code.size() == right + 1 && (code[right].code == bcInteger || code[right].code == bcName)) {
    Instruction& i = code[right];
    if (i.code == bcInteger) {
      i.c = i.a;
      i.a = 0;
    }
    i.code = i.code == bcInteger ? bcBinaryInteger : bcBinaryName;
    i.op = op;
    return;
  }
  emit(bcBinary, 0, 0, op);
}

void ExpressionCompiler::primary() {
  if (++depth_ > kMaxDepth) {
    refuse();
    return;
  }
  size_t start = chunk_.code.size();
  const Token& t = current();
  switch (t.kind) {
    case tkIdentifier: name(); break;
    case tkInteger:
      emit(bcInteger, t.integer);
      push(1);
      next();
      break;
    case tkString:
      emit(bcString, slot(t, nuText));
      push(1);
      next();
      break;
    case tkOperator: prefix(); break;
    case tkLeftParen:
      next();
      climb(1, false);
      if (current().kind != tkRightParen) {
        refuse();
        return;
      }
      next();
      break;
    case tkLeftBracket: pairLiteral(tkRightBracket, false); break;
    case tkLeftBrace: pairLiteral(tkRightBrace, true); break;
    default:
      --depth_;
      emit(bcInvalid);  // nothing read: invalid
      push(1);
      return;
  }
  bool first = true;
  while (!refused_ && (current().kind == tkDot || current().kind == tkLeftBracket)) {
    size_t nameCode = first && chunk_.code.size() == start + 1 && chunk_.code[start].code == bcName ? start : SIZE_MAX;
    selector();
    if (nameCode != SIZE_MAX) element(nameCode);
    first = false;
  }
  --depth_;
}

// name[number] and name[name] of a variable read in place: one instruction.
bool ExpressionCompiler::element(size_t nameCode) {
  auto& code = chunk_.code;
  if (code.size() != nameCode + 3 || code.back().code != bcSelectOne) return false;
  const Instruction& index = code[nameCode + 1];
  if (index.code != bcInteger && index.code != bcName) return false;
  Instruction e;
  e.code = bcElement;
  e.a = code[nameCode].a;
  e.b = index.code == bcName ? index.a : -1;
  e.c = index.code == bcInteger ? index.a : 0;
  code.resize(nameCode);
  code.push_back(e);
  return true;
}

void ExpressionCompiler::selector() {
  indexList();
  if (refused_) return;
  Instruction& last = chunk_.code.back();
  if (last.code == bcIndexList && last.a == 1) {
    last.code = bcSelectOne;  // v[i]: the index without its list
  } else {
    emit(bcSelect);
  }
  push(-1);
}

void ExpressionCompiler::prefix() {
  uint8_t op = current().op;
  if (!isPrefixOperator(op)) {
    refuse();
    return;
  }
  next();
  if (op == opBar) {
    climb(1, false);
    if (current().kind != tkOperator || current().op != opBar) {
      refuse();
      return;
    }
    next();
  } else {
    primary();
  }
  emit(bcPrefix, 0, 0, op);
}

// A list "[a, b..c]" or a dictionary "{k: v}": pairs of expressions whose
// second half follows ".." in a list and ":" in a dictionary.
void ExpressionCompiler::pairLiteral(uint8_t closer, bool dict) {
  next();
  emit(dict ? bcDict : bcList);
  push(1);
  if (current().kind == closer) {
    next();
    return;
  }
  for (;;) {
    climb(1, false);
    const Token& t = current();
    if (dict ? t.kind == tkColon : t.kind == tkOperator && t.op == opRange) {
      next();
      climb(1, false);
      emit(dict ? bcDictKeyed : bcListRange);
      push(-2);
    } else {
      emit(dict ? bcDictAdd : bcListAdd);
      push(-1);
    }
    if (refused_) return;
    if (current().kind == tkComma) {
      next();
    } else if (current().kind == closer) {
      next();
      return;
    } else {
      refuse();
      return;
    }
  }
}

void ExpressionCompiler::indexList() {
  if (current().kind == tkDot) {
    next();
    if (current().kind != tkIdentifier) {
      refuse();
      return;
    }
    emit(bcIndexName, slot(current(), nuText));
    push(1);
    next();
    return;
  }
  next();
  int32_t count = 0;
  if (current().kind != tkRightBracket) {
    for (;;) {
      climb(0, false);
      ++count;
      if (refused_) return;
      if (current().kind == tkComma) {
        next();
      } else if (current().kind == tkRightBracket) {
        break;
      } else {
        refuse();
        return;
      }
    }
  }
  next();
  emit(bcIndexList, count);
  push(1 - count);
}

// A name: a value, or a call whose arguments depend on what the name is.
void ExpressionCompiler::name() {
  const Token& t = current();
  SymtbEntry* e = resolveToken(t);
  if (e && (e->kind == skModule || e->kind == skNew)) {
    refuse();
    return;
  }
  // After a call, a SUPERGLOBAL name could have become anything.
  if (afterCall_ && !t.text.empty() && t.text[0] == '$') {
    refuse();
    return;
  }
  next();
  bool parens = current().kind == tkLeftParen;
  if (parens && (!e || isFunctionKind(e->kind))) {
    if (afterCall_ && !parenCallStays(e, t.text)) {
      refuse();
      return;
    }
    int32_t s = slot(t, nuCall);
    emit(bcCallee, s);
    arguments(e, true, s);
  } else if (e && e->kind == skBuiltin && !(e->wordB & kBuiltinNeedsParens)) {
    int32_t s = slot(t, nuGreedy, e);
    emit(bcCallee, s);
    arguments(e, false, s);
  } else if (parens) {
    // A value followed by a parenthesis: the token reader would call the
    // name if it were unknown by then.
    refuse();
  } else {
    emit(bcName, slot(t, nuValue));
    push(1);
    if (e && isFunctionKind(e->kind)) afterCall_ = true;
  }
}

// A call with parentheses keeps its form while the name stays a function
// (or unknown): only a local of the same name declared meanwhile by the
// running function, or a name that is still unknown, could change it.
bool ExpressionCompiler::parenCallStays(const SymtbEntry* e, std::string_view text) const {
  if (!e) return false;
  if (e->kind == skBuiltin) return true;
  return !function_ || function_->kind != skFunction || !declaresName(script_, *function_, text);
}

// Arguments as parseArguments reads them.
void ExpressionCompiler::arguments(const SymtbEntry* e, bool parens, int32_t nameSlot) {
  bool builtin = e && e->kind == skBuiltin;
  if (parens) next();
  if (builtin && (e->wordB & kBuiltinHashAllowed) && current().kind == tkHash) next();
  int count = 0;
  int declared = declaredArguments(e);
  auto more = [&]() {
    if (parens) return current().kind != tkRightParen && current().kind != tkEnd;
    return count < declared && current().kind != tkEnd && current().kind != tkRightParen;
  };
  while (!refused_ && more()) {
    size_t before = i_;
    climb(1, false);
    ++count;
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
  emit(bcCall, count, nameSlot);
  push(1 - count);
  afterCall_ = true;
}

bool chunkNamesFit(const Chunk& chunk) {
  for (const NameSlot& s : chunk.names) {
    if (s.use == nuText) continue;
    const SymtbEntry* e = resolveToken(*s.token);
    if (s.use == nuGreedy) {
      if (e != s.entry) return false;
    } else if (s.use == nuCall) {
      if (e && e->kind != skBuiltin && e->kind != skFunction) return false;
    } else if (e && (e->kind == skModule || e->kind == skNew ||
                     (e->kind == skBuiltin && !(e->wordB & kBuiltinNeedsParens)))) {
      return false;
    }
  }
  return true;
}

void pinChunkNames(Chunk& chunk) {
  const InterpreterState& in = theInterp;
  for (NameSlot& s : chunk.names) {
    if (s.use == nuValue || s.use == nuCall) s.entry = resolveToken(*s.token);
    bool global = s.use == nuValue && s.entry && s.entry->kind == skVariable && !s.entry->owner;
    s.cell = global ? s.entry->cell : nullptr;
  }
  chunk.generation = tableGeneration();
  chunk.script = in.currentScript;
  chunk.function = in.currentFunction;
}

std::string listExpression(const Chunk& chunk, uint32_t expression) {
  const ExprCode& e = chunk.expressions[expression];
  std::string out;
  for (uint32_t k = e.first; k < e.end; ++k) {
    const Instruction& i = chunk.code[k];
    out += kOpcodeNames[i.code];
    auto text = [&](int32_t slot) { return " " + chunk.names[size_t(slot)].token->raw; };
    switch (i.code) {
      case bcInteger: out += " " + std::to_string(i.a); break;
      case bcString: case bcName: case bcCallee: case bcIndexName: out += text(i.a); break;
      case bcElement: out += text(i.a) + (i.b >= 0 ? text(i.b) : " " + std::to_string(i.c)); break;
      case bcBinary: case bcPrefix: out += " " + std::to_string(i.op); break;
      case bcBinaryInteger: out += " " + std::to_string(i.op) + " " + std::to_string(i.c); break;
      case bcBinaryName: out += " " + std::to_string(i.op) + text(i.a); break;
      case bcLogical: out += text(i.a) + " " + std::to_string(i.b - int32_t(e.first)); break;
      case bcCall: out += " " + std::to_string(i.a) + text(i.b); break;
      case bcIndexList: out += " " + std::to_string(i.a); break;
      default: break;
    }
    out += "\n";
  }
  return out;
}

}  // namespace varlo
