#include "shell/menu_options.h"

#include <unistd.h>

#include "console/console.h"
#include "console/speech.h"
#include "platform/codepage.h"
#include "shell/app_state.h"
#include "shell/messages.h"
#include "shell/project.h"
#include "shell/project_options.h"

namespace varlo {

namespace {

// Said by options whose work is not part of this version yet.
void notAvailable() {
  writeLineSpeak(utf8ToCp1252("Esta opção ainda não está disponível nesta versão."));
}

}  // namespace

uint8_t editProjectDirectory(std::string& directory) {
  writeText(directory);
  std::string typed = readLine(256);
  if (!typed.empty()) directory = typed;
  return key::Enter;
}

std::string currentDirectoryName() {
  char buf[4096];
  return getcwd(buf, sizeof buf) ? buf : ".";
}

void fillSelectionAtStart() {
  AppState& s = appState();
  if (!listByKind('P')) s.noPartFiles = true;
  if (listByKind('T')) {
    pause(100);
    writeText("\r\n");
    sayMessage("VLTOTCON", 0);
    writeNumberSpeak(static_cast<long long>(s.selection.size()));
    writeText("\r\n\r\n");
  } else {
    s.noTextFiles = true;
  }
}

int runArrowMenu(const char* const*, int) {
  notAvailable();
  return 0;
}

void reviewScreen() { notAvailable(); }
void settingsDialog() { notAvailable(); }
void convertSelection() { notAvailable(); }
void divideFile() { notAvailable(); }
void runScriptOption() { notAvailable(); }
void editWithSuiteEditor() { notAvailable(); }
void generateCd() { notAvailable(); }
void modifySelection() { notAvailable(); }
void voiceTest() { notAvailable(); }
void voiceAdjust() { notAvailable(); }
void copyProjectOption() { notAvailable(); }
void divideAlternatingVoices() { notAvailable(); }
void recordNewProject() { notAvailable(); }
void openManual() { notAvailable(); }
void runCommandLineJobOption(const std::string&) { notAvailable(); }

}  // namespace varlo
