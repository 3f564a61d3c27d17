// The command table: every command name with its kind, registered at
// start-up with the control-flow handlers of the interpreter and the
// implementations the command set provides.
#include "script/commands.h"

#include <algorithm>
#include <map>

#include "script/flow.h"
#include "script/interp.h"
#include "script/lexer.h"

namespace varlo {

namespace {

struct CommandName {
  const char* name;
  uint8_t kind;
  CommandHandler handler;  // interpreter's own, or null until implemented
};

// Sorted by name.
const CommandName kCommandNames[] = {
    {"ABRE", skCommand, nullptr},        {"ACEITA", skCommand, nullptr},
    {"ACIONA", skCommand, nullptr},      {"AJUDA", skCommand, nullptr},
    {"ANEXA", skCommand, nullptr},       {"BAIXA", skCommand, nullptr},
    {"BIPA", skCommand, nullptr},        {"BUSCA", skCommand, nullptr},
    {"CAPTURA", skCommand, nullptr},     {"CHAMA", skCommand, cmdCall},
    {"CHECA", skCommand, nullptr},       {"CLICA", skCommand, nullptr},
    {"CMD", skCommand, cmdCmd},          {"CONCATENA", skCommand, nullptr},
    {"CONECTA", skCommand, nullptr},     {"CONTINUA", skContinue, cmdContinue},
    {"CONVERTE", skCommand, nullptr},    {"COPIA", skCommand, nullptr},
    {"COR", skCommand, nullptr},         {"CURSOR", skCommand, nullptr},
    {"DEBUG", skCommand, nullptr},       {"DESTROI", skCommand, cmdDestroy},
    {"DESVIA", skCommand, cmdGoto},      {"DIGITA", skCommand, nullptr},
    {"DIR", skCommand, nullptr},         {"DIVIDE", skCommand, nullptr},
    {"ENQUANTO", skLoop, cmdWhile},      {"ESCREVE", skCommand, nullptr},
    {"ESPERA", skCommand, nullptr},      {"EXECUTA", skCommand, nullptr},
    {"FALA", skCommand, nullptr},        {"FECHA", skCommand, nullptr},
    {"FIM", skEnd, cmdEnd},              {"FORM", skCommand, nullptr},
    {"FUNCAO", skFunctionCmd, cmdFunction}, {"FUNDO", skCommand, nullptr},
    {"HELP", skCommand, nullptr},        {"IMAGEM", skCommand, nullptr},
    {"IMPORTA", skCommand, cmdImport},   {"INTERNET", skCommand, nullptr},
    {"IP", skCommand, nullptr},          {"JANELA", skCommand, nullptr},
    {"LE", skCommand, nullptr},          {"LOCAL", skCommand, cmdLocal},
    {"MCI", skCommand, nullptr},         {"MENU", skCommand, nullptr},
    {"MIDI", skCommand, nullptr},        {"MOUSE", skCommand, nullptr},
    {"MSAA", skCommand, nullptr},        {"MULTIPLICA", skCommand, nullptr},
    {"OBSERVA", skCommand, nullptr},     {"ORDENA", skCommand, nullptr},
    {"PARA", skLoop, cmdFor},            {"PROCURA", skCommand, nullptr},
    {"QUEBRA", skBreak, cmdBreak},       {"RANDOMIZA", skCommand, nullptr},
    {"RATO", skCommand, nullptr},        {"REMOVE", skCommand, nullptr},
    {"RENOMEIA", skCommand, nullptr},    {"REPETE", skLoop, cmdRepeat},
    {"REPLICA", skCommand, nullptr},     {"RETORNA", skCommand, cmdReturn},
    {"SE", skIf, cmdIf},                 {"SEJA", skCommand, cmdLet},
    {"SENAO", skElse, cmdElse},          {"SENSOR", skCommand, nullptr},
    {"SEPARA", skCommand, nullptr},      {"SERIAL", skCommand, nullptr},
    {"SERVE", skCommand, nullptr},       {"SIMBOLOS", skCommand, nullptr},
    {"SOLETRA", skCommand, nullptr},     {"SOMA", skCommand, nullptr},
    {"SUBSTITUI", skCommand, nullptr},   {"SUBTRAI", skCommand, nullptr},
    {"TELA", skCommand, nullptr},        {"TERMINA", skCommand, cmdTerminate},
    {"TOCA", skCommand, nullptr},        {"TRANSFERE", skCommand, nullptr},
    {"TROCA", skCommand, nullptr},       {"VERSAO", skCommand, nullptr},
};

// Handlers and functions installed at run time survive the resets.
std::map<std::string, CommandHandler, std::less<>>& overrides() {
  static std::map<std::string, CommandHandler, std::less<>> map;
  return map;
}
std::vector<BuiltinImpl>& extraBuiltins() {
  static std::vector<BuiltinImpl> list;
  return list;
}

bool notAvailable() {
  skipToEnd();
  return fail("Comando " + theInterp.currentCommand->name + cp(" ainda não disponível"));
}

SymtbEntry makeStatement(const char* name, uint8_t kind, CommandHandler handler) {
  SymtbEntry e;
  e.name = name;
  e.kind = kind;
  e.command = handler;
  return e;
}

SymtbEntry oneLineIf = makeStatement("SE", skIfLine, cmdOneLineIf);
SymtbEntry assignOrCall = makeStatement("ATRIBUICAO", skCommand, cmdAssignOrCall);
SymtbEntry expression = makeStatement("EXPRESSAO", skCommand, cmdExpression);
SymtbEntry* returnEntry = nullptr;

void registerBuiltin(const BuiltinImpl& impl) {
  if (!impl.name || findOrCreate(kAllScripts, nullptr, impl.name, false)) return;
  auto* e = new SymtbEntry;
  e->name = impl.name;
  e->kind = skBuiltin;
  e->builtin = impl.handler;
  e->wordA = impl.parameters;
  e->wordB = impl.flags;
  registerCommand(e);
}

}  // namespace

void registerCommands() {
  for (const CommandName& c : kCommandNames) {
    auto* e = new SymtbEntry;
    e->name = c.name;
    e->kind = c.kind;
    e->command = c.handler ? c.handler : notAvailable;
    registerCommand(e);
    if (e->name == "RETORNA") returnEntry = e;
  }
  for (size_t i = 0; i < kCommandImplCount; ++i) {
    if (SymtbEntry* e = findCommand(kCommandImpls[i].name)) e->command = kCommandImpls[i].handler;
  }
  for (const auto& [name, handler] : overrides()) {
    if (SymtbEntry* e = findCommand(name)) e->command = handler;
  }
  for (size_t i = 0; i < kBuiltinImplCount; ++i) registerBuiltin(kBuiltinImpls[i]);
  for (const BuiltinImpl& impl : extraBuiltins()) registerBuiltin(impl);
}

std::vector<std::string> commandNames() {
  std::vector<std::string> names;
  for (const CommandName& c : kCommandNames) names.emplace_back(c.name);
  return names;
}

bool setCommandHandler(std::string_view name, CommandHandler handler) {
  SymtbEntry* e = findCommand(name);
  if (!e) return false;
  e->command = handler;
  overrides()[std::string(name)] = handler;
  return true;
}

bool addBuiltin(const BuiltinImpl& impl) {
  if (findOrCreate(kAllScripts, nullptr, impl.name, false)) return false;
  extraBuiltins().push_back(impl);
  registerBuiltin(impl);
  return true;
}

SymtbEntry& oneLineIfStatement() { return oneLineIf; }
SymtbEntry& assignOrCallStatement() { return assignOrCall; }
SymtbEntry& expressionStatement() { return expression; }
SymtbEntry& returnCommand() { return *returnEntry; }

}  // namespace varlo
