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
bool cmdAccept();
bool cmdDownload();
bool cmdConnect();
bool cmdInternet();
bool cmdIp();
bool cmdObserve();
bool cmdSensor();
bool cmdSerial();
bool cmdServe();
bool cmdSearchFiles();
bool cmdConvert();
bool cmdColour();
bool cmdCursor();
bool cmdDirectory();
bool cmdWait();
bool cmdRunProgram();
bool cmdForm();
bool cmdBackground();
bool cmdMenu();
bool cmdRemoveFile();
bool cmdRename();
bool cmdCopyFile();
bool cmdScreen();
bool cmdTransfer();
void endFileSearch();
void closeScriptMenuAndForm();
bool cmdBeep();
bool cmdPlaySound();
bool cmdMci();
bool cmdMidi();
void resetSoundCommands();
bool cmdPressKey();
bool cmdCapture();
bool cmdClick();
bool cmdType();
bool cmdWindow();
bool cmdMouse();
bool cmdAccessibility();

const CommandImpl kCommandImpls[] = {
    {"ABRE", cmdOpen},
    {"ACEITA", cmdAccept},
    {"ACIONA", cmdPressKey},
    {"AJUDA", cmdHelp},
    {"ANEXA", cmdAppend},
    {"BAIXA", cmdDownload},
    {"BIPA", cmdBeep},
    {"BUSCA", cmdSearchFiles},
    {"CAPTURA", cmdCapture},
    {"CHECA", cmdCheck},
    {"CLICA", cmdClick},
    {"CONCATENA", cmdConcatenate},
    {"CONECTA", cmdConnect},
    {"CONVERTE", cmdConvert},
    {"COPIA", cmdCopy},
    {"COR", cmdColour},
    {"CURSOR", cmdCursor},
    {"DEBUG", cmdDebug},
    {"DIGITA", cmdType},
    {"DIR", cmdDirectory},
    {"DIVIDE", cmdDivide},
    {"ESCREVE", cmdWrite},
    {"ESPERA", cmdWait},
    {"EXECUTA", cmdRunProgram},
    {"FALA", cmdSpeak},
    {"FECHA", cmdClose},
    {"FORM", cmdForm},
    {"FUNDO", cmdBackground},
    {"HELP", cmdHelp},
    {"IMAGEM", cmdImage},
    {"INTERNET", cmdInternet},
    {"IP", cmdIp},
    {"JANELA", cmdWindow},
    {"LE", cmdRead},
    {"MCI", cmdMci},
    {"MENU", cmdMenu},
    {"MIDI", cmdMidi},
    {"MOUSE", cmdMouse},
    {"MSAA", cmdAccessibility},
    {"MULTIPLICA", cmdMultiply},
    {"OBSERVA", cmdObserve},
    {"ORDENA", cmdSort},
    {"PROCURA", cmdFind},
    {"RANDOMIZA", cmdRandomize},
    {"RATO", cmdMouse},
    {"REMOVE", cmdRemoveFile},
    {"RENOMEIA", cmdRename},
    {"REPLICA", cmdCopyFile},
    {"SENSOR", cmdSensor},
    {"SEPARA", cmdSplit},
    {"SERIAL", cmdSerial},
    {"SERVE", cmdServe},
    {"SIMBOLOS", cmdSymbols},
    {"SOLETRA", cmdSpell},
    {"SOMA", cmdAdd},
    {"SUBSTITUI", cmdReplace},
    {"SUBTRAI", cmdSubtract},
    {"TELA", cmdScreen},
    {"TOCA", cmdPlaySound},
    {"TRANSFERE", cmdTransfer},
    {"TROCA", cmdExchange},
    {"VERSAO", cmdVersion},
};
const size_t kCommandImplCount = sizeof kCommandImpls / sizeof kCommandImpls[0];

void resetCommandState() {
  closeAllDescriptors();
  endFileSearch();
  closeScriptMenuAndForm();
  resetSoundCommands();
  stopAccessibilityEvents();
}

}  // namespace varlo
