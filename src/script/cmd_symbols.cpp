// SIMBOLOS: the variables and module references of every script, and the
// counters of live values.
#include <cstdio>

#include "script/expr.h"
#include "script/interp.h"
#include "script/output.h"
#include "script/symbols.h"

namespace varlo {

namespace {

const std::string kRule(69, '-');

std::string formatted(const char* format, const char* name, const char* type, const char* script,
                      const char* scope, const std::string& value) {
  char row[128];
  std::snprintf(row, sizeof row, format, name, type, script, scope);
  return row + value;
}

std::string variableRow(SymtbEntry& e) {
  if (e.owner) return formatted("%-16.16s%12s%4s         %-12.12s    ", e.name.c_str(), "?", "", e.owner->name.c_str(), "?");
  Operand v = readVariable(e);
  std::string value = v.tag == Tag::string ? quoted(textOf(v)) : valueText(v);
  std::string type(typeName(v.tag));
  releaseValue(v);
  bool super = e.script == kAllScripts;
  std::string script = super ? "*" : std::to_string(e.script);
  return formatted("%-16.16s%12s%4s         %-12.12s    ", e.name.c_str(), type.c_str(), script.c_str(),
                   super ? "SUPERGLOBAL" : "GLOBAL", value);
}

std::string moduleRow(const SymtbEntry& e) {
  char row[128];
  std::snprintf(row, sizeof row, "%-16.16s%12s%4d         %-12.12s    %d", e.name.c_str(), "MOD", int(e.script),
                "GLOBAL", int(e.wordA));
  return row;
}

void printCounters() {
  ObjectCounters c = objectCounters();
  printLine("");
  printLine("Contadores:");
  printLine(cp("   Nós de dicionário:         ") + std::to_string(c.dictNodes));
  printLine(cp("   Nós de Listas:             ") + std::to_string(c.listCells));
  printLine(cp("   Nós de Objetos:            ") + std::to_string(c.objects));
  printLine("   Comandos Novos:            0");
  printLine("   sizeof Operand, ObjRec:    12, 20");
  printLine(cp("   Maior Lista de Colisões:   ") + std::to_string(longestChain()));
}

}  // namespace

bool cmdSymbols() {
  bool any = !tableIsEmpty();
  if (any) {
    printLine(kRule);
    printLine("   IDENTIFICADOR      TIPO   SCRIPT      ESCOPO      VALOR");
    printLine(kRule);
  }
  for (SymtbEntry* e = firstCreated(); e; e = e->nextCreated) {
    if (e->kind == skVariable) printLine(variableRow(*e));
    else if (e->kind == skModule) printLine(moduleRow(*e));
  }
  printCounters();
  if (any) printLine(kRule);
  return true;
}

}  // namespace varlo
