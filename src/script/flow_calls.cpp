// FUNCAO, LOCAL, RETORNA, DESVIA, CHAMA, TERMINA, CMD and IMPORTA.
#include "console/console.h"
#include "script/commands.h"
#include "script/expr.h"
#include "script/flow.h"
#include "script/host.h"
#include "script/interp.h"
#include "script/output.h"

namespace varlo {

namespace {

CodeRec& lineCode(int32_t line) { return currentScript().lines[size_t(line)]; }

bool isAssignToken() {
  return theToken.kind == tkAssign || (theToken.kind == tkOperator && theToken.op == opEq);
}

// name [(:= | =) expression] {, name ...}: each a new local of the function.
bool declareLocals(SymtbEntry& function, int& count) {
  InterpreterState& in = theInterp;
  while (theToken.kind == tkIdentifier) {
    std::string name(theToken.text);
    if (!pushExecutionEntry(stLocal)) return false;
    int32_t slot = in.stackPointer - in.frameBase;
    if (!declareLocal(in.currentScript, &function, name, slot)) return false;
    ++count;
    scan();
    Operand value = undefinedValue();
    if (isAssignToken()) {
      scan();
      value = evaluate(1);
    }
    stackEntry(in.stackPointer).var.value = value;
    if (theToken.kind != tkComma) break;
    scan();
  }
  return true;
}

bool declareParameters(SymtbEntry& function) {
  int32_t slot = -1;
  while (theToken.kind != tkRightParen) {
    if (theToken.kind == tkColon || theToken.kind == tkEnd) {
      return fail(cp("Já que abriu, favor fechar o parênteses"));
    }
    if (theToken.kind == tkIdentifier &&
        !declareLocal(theInterp.currentScript, &function, theToken.text, slot--)) {
      return false;
    }
    scan();
  }
  scan();
  return true;
}

struct Target {
  int32_t script = 0;
  int32_t line = -1;
  bool otherScript = false;
};

bool loadTargetScript(Target& target) {
  scan();
  Operand name = evaluateAs(Tag::string);
  std::string file = name.tag == Tag::string ? textOf(name) : std::string();
  releaseValue(name);
  if (file.empty()) return fail("Esperava o nome de um script");
  target.script = loadScript(file);
  if (target.script < 0) return fail("Erro na leitura do script " + quoted(file));
  if (!compileScript(target.script)) return fail("O script " + quoted(file) + cp(" possui erros sintáticos"));
  target.otherScript = target.script != theInterp.currentScript;
  return true;
}

// [SCRIPT expression] [Label | expression]
bool parseTarget(Target& target) {
  target.script = theInterp.currentScript;
  bool named = isWord("SCRIPT");
  if (named && !loadTargetScript(target)) return false;
  std::string label;
  if (theToken.kind == tkLabel) {
    label = theToken.text;
    scan();
  } else if (theToken.kind != tkEnd) {
    Operand v = evaluateAs(Tag::string);
    if (v.tag == Tag::string) label = textOf(v);
    releaseValue(v);
  }
  if (!label.empty()) {
    SymtbEntry* scope = target.script == theInterp.currentScript ? theInterp.currentFunction : nullptr;
    target.line = findLabel(target.script, scope, label);
    if (target.line <= 0) {
      return fail(cp("Rótulo ") + label + cp(" não foi definido ou não tem o escopo correto"));
    }
    return true;
  }
  if (!named) return fail(cp("Esperava um rótulo"));
  const ScriptRec& r = scriptSlot(target.script);
  if (r.lastLine >= 1 && r.lines[1].function) {
    return fail(cp("Não será possível desviar remotamente para a linha, devido ao escopo"));
  }
  target.line = 1;
  return true;
}

// Runs another script to its end and comes back to the caller's state.
bool runElsewhere(const Target& target) {
  InterpreterState& in = theInterp;
  int32_t script = in.currentScript;
  SymtbEntry* function = in.currentFunction;
  int32_t frameBase = in.frameBase;
  TokenRec here = theToken;
  in.currentFunction = nullptr;
  bool ok = runScript(target.script, target.line);
  in.currentScript = script;
  in.currentFunction = function;
  in.frameBase = frameBase;
  theToken = here;
  return ok;
}

bool callRemote() {
  scan();
  Operand request = evaluateAs(Tag::string);
  std::string text = request.tag == Tag::string ? textOf(request) : std::string();
  releaseValue(request);
  std::string answer;
  ExternalRoutine routine = currentScript().external;
  if (routine) answer = routine(text);
  else reportError(cp("Rotina externa não foi definida"));
  if (theToken.kind != tkIdentifier) return true;
  Lvalue target = parseLvalue();
  return target.valid() && assignLvalue(target, stringValue(std::move(answer)));
}

}  // namespace

bool enteringFunction(SymtbEntry*& function) {
  int32_t line = currentScript().currentLine;
  function = lineCode(line).function;
  if (!function || takePendingCall() != function) {
    // Ordinary flow passes over the function's body.
    currentScript().nextLine = lineCode(lineCode(line).link).next;
    return false;
  }
  theInterp.currentFunction = function;
  return true;
}

bool cmdFunction() {
  SymtbEntry* function = nullptr;
  if (!enteringFunction(function)) {
    skipToEnd();
    return true;
  }
  scan();  // the name
  if (theToken.kind == tkLeftParen) {
    scan();
    if (!declareParameters(*function)) return false;
  }
  int locals = 0;
  if (theToken.kind == tkColon) {
    scan();
    if (!declareLocals(*function, locals)) return false;
  }
  function->wordC = locals;
  return true;
}

bool cmdLocal() {
  SymtbEntry* function = theInterp.currentFunction;
  if (!function || function->kind != skFunction) {
    printLine(cp("O comando LOCAL só é válido no corpo de uma função"));
    skipToEnd();
    return false;
  }
  int count = 0;
  return declareLocals(*function, count);
}

bool cmdReturn() {
  Operand value = undefinedValue();
  if (isWord("FUNCAO")) scan();
  else if (theToken.kind != tkEnd) value = evaluate(1);
  return returnWith(std::move(value));
}

bool returnWith(Operand&& value) {
  InterpreterState& in = theInterp;
  ScriptRec& r = currentScript();
  if (in.currentFunction && in.currentFunction->kind == skFunction) {
    StackRec& record = stackEntry(in.frameBase);
    if (in.frameBase <= 0 || record.kind != stReturn) {
      releaseValue(value);
      return fail(cp("Pilha corrompida, RET não encontrado"));
    }
    releaseValue(record.var.value);
    record.var.value = value;
    value = Operand{};
    r.returning = true;
    return true;
  }
  releaseValue(value);
  // Back from a CHAMA: to the nearest return record, or the script ends.
  while (in.stackPointer > 0 && stackEntry(in.stackPointer).kind != stReturn) {
    releaseValue(stackEntry(in.stackPointer--).var.value);
  }
  if (in.stackPointer == 0) {
    r.stop = r.ended = true;
    return true;
  }
  StackRec& record = stackEntry(in.stackPointer--);
  releaseValue(record.var.value);
  in.currentScript = record.script;
  in.currentFunction = record.owner;
  in.frameBase = record.savedFrameBase;
  ScriptRec& caller = currentScript();
  caller.currentLine = record.savedLine;
  caller.nextLine = caller.lines[size_t(record.savedLine)].next;
  return true;
}

bool cmdGoto() {
  Target target;
  if (!parseTarget(target)) return false;
  if (target.otherScript) return runElsewhere(target);
  if (theInterp.currentScript == 0) return fail(cp("O comando DESVIA NÃO é permitido no modo interativo"));
  currentScript().nextLine = target.line;
  return true;
}

bool cmdCall() {
  InterpreterState& in = theInterp;
  if (isWord("REMOTO")) return callRemote();
  Target target;
  if (!parseTarget(target)) return false;
  if (in.currentScript == 0) {
    if (!target.otherScript) {
      return fail("O comando CHAMA no modo interativo deve especificar um novo script");
    }
    return runElsewhere(target);
  }
  int32_t line = currentScript().currentLine;
  if (!pushExecutionEntry(stReturn)) return false;
  StackRec& record = stackEntry(in.stackPointer);
  record.savedLine = line;
  record.owner = in.currentFunction;
  record.savedFrameBase = in.frameBase;
  in.currentScript = target.script;
  ScriptRec& callee = currentScript();
  callee.stop = callee.returning = false;
  callee.nextLine = target.line;
  in.currentFunction = callee.lines[size_t(target.line)].function;
  return true;
}

bool cmdTerminate() {
  ScriptRec& r = currentScript();
  r.stop = r.ended = true;
  if (isWord("MUDO")) {
    scan();
  } else {
    bool pause = isWord("PAUSA");
    if (pause) scan();
    if (theToken.kind != tkEnd) {
      Operand message = evaluateAs(Tag::string);
      if (message.tag == Tag::string) printLine(textOf(message));
      releaseValue(message);
    }
    if (pause) {
      printText("Tecle ENTER para encerrar o script");
      readLine();
    }
  }
  const SymtbEntry* function = theInterp.currentFunction;
  if (function && function->kind == skFunction) {
    throw ScriptInterrupt(cp("Script encerrado na função ") + function->name);
  }
  return true;
}

bool cmdCmd() {
  Operand command = evaluateAs(Tag::string);
  std::string text = command.tag == Tag::string ? textOf(command) : std::string();
  releaseValue(command);
  if (text.empty()) return fail("Esperava uma cadeia contendo o comando a executar");
  if (theToken.kind != tkEnd) return false;
  int32_t script = theInterp.currentScript;
  setInteractiveLine(script, text);
  TokenRec here = theToken;
  bool ok = executeLine(script, 0);
  theToken = here;
  return ok;
}

bool cmdImport() {
  skipToEnd();  // done by the compiler
  return true;
}

}  // namespace varlo
