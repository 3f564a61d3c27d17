// Implementations of the language's commands (see commands.h for how to add
// one). Control-flow commands are registered by the interpreter itself.
#include "script/cmd_descriptors.h"
#include "script/commands.h"
#include "platform/accessibility.h"

namespace varlo {

// Handlers of the command set (cmd_*.cpp).
bool cmdOpen();
bool cmdHelp();
bool cmdAppend();
bool cmdCheck();
bool cmdConcatenate();
bool cmdCopy();
bool cmdDebug();
bool cmdDivide();
bool cmdWrite();
bool cmdSpeak();
bool cmdClose();
bool cmdRead();
bool cmdMultiply();
bool cmdSort();
bool cmdFind();
bool cmdRandomize();
bool cmdSplit();
bool cmdSymbols();
bool cmdSpell();
bool cmdAdd();
bool cmdReplace();
bool cmdSubtract();
bool cmdExchange();
bool cmdVersion();
bool cmdPressKey();
bool cmdCapture();
bool cmdClick();
bool cmdType();
bool cmdWindow();
bool cmdMouse();
bool cmdAccessibility();

const CommandImpl kCommandImpls[] = {
    {"ABRE", cmdOpen},
    {"ACIONA", cmdPressKey},
    {"AJUDA", cmdHelp},         {"ANEXA", cmdAppend},
    {"CAPTURA", cmdCapture},
    {"CHECA", cmdCheck},
    {"CLICA", cmdClick},
    {"CONCATENA", cmdConcatenate}, {"COPIA", cmdCopy},
    {"DEBUG", cmdDebug},
    {"DIGITA", cmdType},
    {"DIVIDE", cmdDivide},      {"ESCREVE", cmdWrite},
    {"FALA", cmdSpeak},          {"FECHA", cmdClose},        {"HELP", cmdHelp},
    {"JANELA", cmdWindow},
    {"LE", cmdRead},
    {"MOUSE", cmdMouse},
    {"MSAA", cmdAccessibility},
    {"MULTIPLICA", cmdMultiply}, {"ORDENA", cmdSort},
    {"PROCURA", cmdFind},        {"RANDOMIZA", cmdRandomize},
    {"RATO", cmdMouse},
    {"SEPARA", cmdSplit},
    {"SIMBOLOS", cmdSymbols},    {"SOLETRA", cmdSpell},      {"SOMA", cmdAdd},
    {"SUBSTITUI", cmdReplace},   {"SUBTRAI", cmdSubtract},   {"TROCA", cmdExchange},
    {"VERSAO", cmdVersion},
};
const size_t kCommandImplCount = sizeof kCommandImpls / sizeof kCommandImpls[0];

void resetCommandState() {
  closeAllDescriptors();
  stopAccessibilityEvents();
}

}  // namespace varlo
