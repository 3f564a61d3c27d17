// Implementations of the language's commands (see commands.h for how to add
// one). Control-flow commands are registered by the interpreter itself.
#include "script/cmd_descriptors.h"
#include "script/commands.h"

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
bool cmdImage();
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

const CommandImpl kCommandImpls[] = {
    {"ABRE", cmdOpen},           {"AJUDA", cmdHelp},         {"ANEXA", cmdAppend},
    {"CHECA", cmdCheck},         {"CONCATENA", cmdConcatenate}, {"COPIA", cmdCopy},
    {"DEBUG", cmdDebug},         {"DIVIDE", cmdDivide},      {"ESCREVE", cmdWrite},
    {"FALA", cmdSpeak},          {"FECHA", cmdClose},        {"HELP", cmdHelp},
    {"IMAGEM", cmdImage},
    {"LE", cmdRead},             {"MULTIPLICA", cmdMultiply}, {"ORDENA", cmdSort},
    {"PROCURA", cmdFind},        {"RANDOMIZA", cmdRandomize}, {"SEPARA", cmdSplit},
    {"SIMBOLOS", cmdSymbols},    {"SOLETRA", cmdSpell},      {"SOMA", cmdAdd},
    {"SUBSTITUI", cmdReplace},   {"SUBTRAI", cmdSubtract},   {"TROCA", cmdExchange},
    {"VERSAO", cmdVersion},
};
const size_t kCommandImplCount = sizeof kCommandImpls / sizeof kCommandImpls[0];

void resetCommandState() { closeAllDescriptors(); }

}  // namespace varlo
