// The compiler: one pass over a loaded script that checks the block
// structure, stores the links the interpreter follows, defines labels and
// functions and loads imported scripts. Expressions are only skimmed.
#include <string>
#include <vector>

#include "script/commands.h"
#include "script/expr.h"
#include "script/host.h"
#include "script/interp.h"

namespace varlo {

namespace {

constexpr size_t kMaxBlocks = 8196;
// A file full of bytes that start no token is no script: give up early
// instead of reading out a message for every line.
constexpr int kMaxLexicalErrors = 20;

struct Block {
  uint8_t kind;
  std::string name;
  int32_t line;
};

std::vector<int32_t> compiling;  // slots being compiled (imports may loop)

class Compiler {
 public:
  explicit Compiler(int32_t script) : s_(script), r_(scriptSlot(script)) {}

  bool run() {
    for (line_ = 1; line_ <= r_.lastLine; ++line_) {
      r_.currentLine = line_;
      if (!compileLine()) return false;
      if (lexicalErrorCount() - lexicalErrorsAtStart_ > kMaxLexicalErrors) {
        return fail(cp("Caracteres inválidos demais: o arquivo não parece ser um script"));
      }
    }
    line_ = r_.lastLine;
    r_.currentLine = line_;
    if (!blocks_.empty()) {
      const Block& top = blocks_.back();
      return fail("Faltou finalizar o comando " + top.name + ", iniciado na linha " + std::to_string(top.line));
    }
    return true;
  }

  int32_t stoppedAt() const { return line_; }

 private:
  CodeRec& code(int32_t line) { return r_.lines[size_t(line)]; }

  bool push(uint8_t kind, std::string name) {
    if (blocks_.size() >= kMaxBlocks) {
      return fail("Mais de " + std::to_string(kMaxBlocks) + " comandos aninhados!");
    }
    blocks_.push_back({kind, std::move(name), line_});
    return true;
  }

  bool compileLine() {
    CodeRec& c = code(line_);
    startScriptLine(s_, line_);
    c.function = function_;
    c.next = line_ + 1;
    if (scan() == tkEnd) return true;
    if (theToken.kind == tkLabel) {
      std::string label(theToken.text);
      if (!defineLabel(s_, function_, label, line_)) {
        return fail(cp("Rótulo ") + quoted(label) + " desconsiderado");
      }
      if (scan() == tkColon) scan();
    }
    if (theToken.kind != tkIdentifier) return true;
    SymtbEntry* command = findCommand(theToken.text);
    if (!command) return true;
    c.command = command;
    switch (command->kind) {
      case skCommand: return simpleCommand(*command);
      case skIf: return ifCommand();
      case skElse: return elseCommand();
      case skFunctionCmd: return functionCommand();
      case skLoop: return push(skLoop, command->name);
      case skBreak: case skContinue: return linkToLoop(*command);
      case skEnd: return endCommand();
      default: return true;
    }
  }

  bool simpleCommand(const SymtbEntry& command) {
    if (command.name == "LOCAL") {
      if (!function_) return fail(cp("O comando LOCAL só é válido no corpo de uma função"));
      if (blocks_.size() > 1) return fail(cp("O comando LOCAL não pode estar no corpo de um comando iterativo"));
    } else if (command.name == "IMPORTA") {
      if (function_) return fail(cp("O comando IMPORTA não pode estar no corpo de uma função"));
      if (!blocks_.empty()) return fail(cp("O comando IMPORTA não pode estar no corpo de um comando iterativo"));
      return import();
    }
    return true;
  }

  bool linkToLoop(const SymtbEntry& command) {
    for (auto it = blocks_.rbegin(); it != blocks_.rend(); ++it) {
      if (it->kind == skLoop) {
        code(line_).link = it->line;
        return true;
      }
    }
    return fail("Comando " + command.name + " fora de um comando iterativo");
  }

  bool ifCommand() {
    scan();
    skimExpression();
    if (isWord("ENTAO")) scan();
    if (theToken.kind == tkEnd) return push(skIf, "SE");
    code(line_).command = &oneLineIfStatement();
    if (theToken.kind != tkIdentifier) return true;
    SymtbEntry* inner = findCommand(theToken.text);
    if (!inner) return true;
    if (inner->name == "LOCAL") return fail(cp("O comando LOCAL não pode aparecer na mesma linha do comando SE"));
    if (inner->name == "IMPORTA") return fail(cp("O comando IMPORTA não pode aparecer na mesma linha do comando SE"));
    if (inner->kind == skCommand) return true;
    if (inner->kind == skBreak || inner->kind == skContinue) return linkToLoop(*inner);
    return fail("Esperava um comando simples na mesma linha do comando SE");
  }

  bool elseCommand() {
    if (blocks_.empty() || (blocks_.back().kind != skIf && blocks_.back().kind != skElseIf)) {
      return fail(cp("Comando SENÃO sobrando"));
    }
    if (!push(skElse, cp("SENÃO"))) return false;
    scan();
    if (isWord("SE")) {
      scan();
      skimExpression();
      if (isWord("ENTAO")) scan();
      if (theToken.kind != tkEnd) return fail(cp("O comando SE de uma linha não é permitido após SENÃO"));
      blocks_.back() = {skElseIf, cp("SENÃO SE"), line_};
      return true;
    }
    return theToken.kind == tkEnd;
  }

  bool functionCommand() {
    if (function_ || !blocks_.empty()) {
      return fail(cp("Funções não podem estar aninhadas em comandos ou em outras funções"));
    }
    if (scan() != tkIdentifier) return fail(cp("Esperava o nome da função"));
    std::string name(theToken.text);
    if (SymtbEntry* existing = findOrCreate(s_, nullptr, name, false)) {
      return fail(quoted(name) + cp(" já é um identificador de ") + std::string(kindName(existing->kind)) +
                  cp("; não pode ser nome de função"));
    }
    SymtbEntry* f = findOrCreate(s_, nullptr, name, true);
    if (!f) return false;
    f->kind = skFunction;
    f->home = s_;
    f->line = line_;
    f->wordB = countParameters();
    f->wordC = 0;
    code(line_).function = f;
    function_ = f;
    return push(skFunctionCmd, "FUNCAO");
  }

  static int32_t countParameters() {
    if (scan() != tkLeftParen) return 0;
    int32_t count = 0;
    while (scan() != tkRightParen && theToken.kind != tkColon && theToken.kind != tkEnd) {
      if (theToken.kind == tkIdentifier) ++count;
    }
    return count;
  }

  bool endCommand() {
    if (blocks_.empty()) return fail("Comando FIM sobrando");
    scan();
    SymtbEntry* what = theToken.kind == tkIdentifier ? findCommand(theToken.text) : nullptr;
    if (!what || (what->kind != skIf && what->kind != skFunctionCmd && what->kind != skLoop)) {
      return fail("Esperava o complemento do comando FIM");
    }
    std::string complement = what->name;
    if (what->kind == skIf) return endIf(complement);
    const Block& top = blocks_.back();
    if (top.name != complement) return mismatch(complement);
    if (what->kind == skFunctionCmd) {
      code(top.line).link = line_;
      code(line_).command = &returnCommand();
      function_->wordA = line_;
      function_ = nullptr;
    } else {
      code(line_).link = top.line;
      code(top.line).link = line_;
    }
    blocks_.pop_back();
    return true;
  }

  bool endIf(const std::string& complement) {
    int32_t linkTo = line_;
    while (!blocks_.empty() && (blocks_.back().kind == skElse || blocks_.back().kind == skElseIf)) {
      int32_t elseLine = blocks_.back().line;
      code(elseLine).link = linkTo;
      code(elseLine - 1).next = line_;
      linkTo = elseLine;
      blocks_.pop_back();
    }
    if (blocks_.empty() || blocks_.back().kind != skIf) return mismatch(complement);
    code(blocks_.back().line).link = linkTo;
    blocks_.pop_back();
    code(line_).link = line_ + 1;
    return true;
  }

  bool mismatch(const std::string& complement) {
    if (blocks_.empty()) return fail("Comando FIM sobrando");
    const Block& top = blocks_.back();
    return fail("Comando FIM " + complement + cp(" não corresponde ao comando ") + top.name + " na linha " +
                std::to_string(top.line));
  }

  bool import() {
    scan();
    std::string alias(theToken.text);
    scan();
    std::string file(theToken.text);
    if (theToken.kind == tkString || theToken.kind == tkIdentifier) scan();
    int32_t slot = loadScript(file);
    if (slot < 0) return fail("Erro na leitura do script " + quoted(file));
    if (!compileScript(slot)) return fail("O script " + quoted(file) + cp(" apresenta erros sintáticos"));
    SymtbEntry* e = findOrCreate(s_, nullptr, alias, true);
    if (!e) return false;
    if (e->kind != skNew && e->kind != skModule) {
      return fail(quoted(alias) + cp(" já é um identificador de ") + std::string(kindName(e->kind)));
    }
    e->kind = skModule;
    e->wordA = slot;
    return true;
  }

  int32_t s_;
  ScriptRec& r_;
  int32_t line_ = 0;
  SymtbEntry* function_ = nullptr;
  std::vector<Block> blocks_;
  long lexicalErrorsAtStart_ = lexicalErrorCount();
};

}  // namespace

bool compileScript(int32_t s) {
  if (s < 0 || s >= kScriptSlots || scriptSlot(s).free) return false;
  ScriptRec& r = scriptSlot(s);
  if (r.compiled) return true;
  for (int32_t busy : compiling) {
    if (busy == s) return true;  // an import loop: the outer pass finishes it
  }
  InterpreterState& in = theInterp;
  TokenRec savedToken = theToken;
  bool savedReports = in.reportErrors, savedCompileMode = in.compileMode;
  int32_t savedScript = in.currentScript;
  SymtbEntry* savedFunction = in.currentFunction;
  in.reportErrors = in.compileMode = true;
  in.currentScript = s;
  in.currentFunction = nullptr;
  compiling.push_back(s);
  Compiler compiler(s);
  bool ok = compiler.run();
  compiling.pop_back();
  r.currentLine = compiler.stoppedAt();
  if (ok) r.compiled = true;
  in.reportErrors = savedReports;
  in.compileMode = savedCompileMode;
  in.currentScript = savedScript;
  in.currentFunction = savedFunction;
  theToken = savedToken;
  return ok;
}

}  // namespace varlo
