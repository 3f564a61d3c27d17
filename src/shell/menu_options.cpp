// The main menu's Ctrl options and smaller ones (scripts, suite editor),
// with the project prompt and the arrow menu they share.
#include "shell/menu_options.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "shell/cd_generation.h"
#include "shell/text_division_dialog.h"
#include "base/config.h"
#include "console/colour_scheme.h"
#include "console/console.h"
#include "widgets/field_editor.h"
#include "widgets/file_chooser.h"
#include "widgets/cmd_viewer.h"
#include "widgets/option_menu.h"
#include "speech/speech.h"
#include "base/codepage.h"
#include "base/html_text.h"
#include "production/text_lines.h"
#include "base/plain_text.h"
#include "platform/process.h"
#include "script/host.h"
#include "shell/app_state.h"
#include "speech/messages.h"
#include "shell/project.h"
#include "shell/project_options.h"
#include "shell/project_size.h"

namespace varlo {

namespace {

void newLine() { writeText("\r\n"); }


bool readInteger(std::string_view section, std::string_view key, int& value) {
  std::string text = readSetting(section, key);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

// Wait after an external program ended: [MURENA] TEMPOESPERAPROGVOLTAR ms,
// 1000 when it is not a number from 0 to 1000.
void waitForReturn() {
  int ms = 0;
  if (!readInteger("MURENA", "TEMPOESPERAPROGVOLTAR", ms) || ms < 0 || ms > 1000) ms = 1000;
  pause(ms);
}

// The editor with its own parameters: [MURENA] EDITOR, else $VISUAL, else
// $EDITOR, else the system's editor.
std::vector<std::string> editorCommand() {
  std::string editor = readPathSetting("MURENA", "EDITOR");
  for (const char* var : {"VISUAL", "EDITOR"}) {
    if (!trimBlanks(editor).empty()) break;
    const char* value = std::getenv(var);
    if (value) editor = value;
  }
  std::vector<std::string> command = splitCommand(editor);
  return command.empty() ? std::vector<std::string>{"editor"} : command;
}

// A program that could not be started is said, not passed over in silence.
void sayProgramMissing(const std::string& program) {
  beep();
  writeLineSpeak(utf8ToCp1252("Não consegui abrir o programa " + program));
}

bool goToProject() { return TrocaDir(appState().projectDirectory); }

}  // namespace

uint8_t editProjectDirectory(std::string& directory) {
  return editField(directory, 1, cursorRow(), true, 80, 255);
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
    newLine();
    sayMessage("VLTOTCON", 0);
    writeNumberSpeak(static_cast<long long>(s.selection.size()));
    writeText("\r\n\r\n");
  } else {
    s.noTextFiles = true;
  }
}

int runArrowMenu(const char* const* keys, int count) {
  makeRoom(16);
  openMenu(cursorColumn(), cursorRow(), 50, scheme::menu.background, 16);
  for (int i = 0; i < count; ++i) addMenuEntry(keys[i], messageText(keys[i]));
  return runMenu();
}

void runScriptOption() {
  AppState& s = appState();
  if (TrocaDir(s.scriptsDirectory)) {
    // The user's own scripts, then the examples shipped with the program.
    std::string script = chooseListedFile("VLSELSCR", "*.CMD", suiteDirectory() + "/scripts", " (exemplo)");
    if (script.empty()) {
      sayMessage("VLNAOSCR", 1);
    } else {
      // Scripts keep their variables from one run to the next; what a run
      // leaves open goes with it.
      startInterpreterOnce();
      std::string path = diskPath(script);
      forgetChangedScript(path);
      RunOutcome outcome = executeScript(path, "inicia");
      releaseRunResources();
      if (outcome.code != srSuccess) reportResult(outcome.code, "inicia");
    }
  }
  if (!goToProject()) {
    sayMessage("VLPRODIS", 1);
    shutdownSpeech();
    closeConsole();
  }
}

void editWithSuiteEditor() {
  std::vector<std::string> editor = editorCommand();
  std::string file = chooseListedFile("VLSELSET", "*.*");
  if (file.empty()) {
    sayMessage("VLDESIST", 1);
    return;
  }
  pause(250);
  // A name beginning with "-" would be taken for one of the editor's options.
  std::string path = diskPath(file);
  if (path[0] == '-') path = "./" + path;
  editor.push_back(path);
  // The terminal goes to the editor, which may say nothing: what opens and
  // how to come back are said first, and the return after.
  writeLineSpeak(utf8ToCp1252("Abrindo o editor com ") + file +
                 utf8ToCp1252("; ao sair dele você volta ao VARLO"));
  waitWhileBusy();
  bool started = runProgram(editor, ProgramMode::terminal) >= 0;
  if (!started) sayProgramMissing(editor[0]);
  waitForReturn();
  if (started) writeLineSpeak("De volta ao VARLO");
  pause(500);
  // The editor may have written the project's first text.
  if (!recheckEmptyProject() && listByKind('T')) appState().noTextFiles = false;
}

void copyProjectOption() {
  AppState& s = appState();
  sayMessage("VLCAMCOM", 0);
  std::string target;
  readLineSpoken(target);
  s.copyTargetDirectory = fullDirectoryPath(cp1252ToUtf8(target));
  if (target.empty()) {
    sayMessage("VLDESIST", 1);
    return;
  }
  if (isInside(s.copyTargetDirectory, s.projectDirectory)) {
    beep();
    writeLineSpeak(utf8ToCp1252("A pasta de destino fica dentro do projeto; a cópia não foi feita."));
    return;
  }
  // Missing parents are made too, as for the project directory.
  std::error_code made;
  std::filesystem::create_directories(s.copyTargetDirectory, made);
  if (chdir(s.copyTargetDirectory.c_str()) != 0) {
    sayMessage("VLPRODIC", 1);
    return;
  }
  std::string targetPath = currentDirectoryName();
  if (!goToProject()) return;
  sayMessage("VLCOPIA", 1);
  pause(500);
  if (!copyProjectTree(s.projectDirectory, targetPath)) {
    beep();
    writeLineSpeak(utf8ToCp1252("A cópia não pôde ser feita por inteiro."));
    return;
  }
  pause(1000);
  sayMessage("VLCPOK", 1);
}

void divideAlternatingVoices() {
  AppState& s = appState();
  AlternateVoices& v = s.alternateVoices;
  v.active = true;
  bool fromSuite = !s.sapiAvailableAtStart || s.voiceChosen;
  const char* section = fromSuite ? "SERVFALA" : "VARLO";
  bool ok = fromSuite ? readInteger(section, "TIPOSAPI", v.type) && readInteger(section, "VOZ", v.voice) &&
                            readInteger(section, "VELOCIDADE", v.speed) && readInteger(section, "TOM", v.pitch)
                      : readInteger(section, "TIPOSAPI", v.type) && readInteger(section, "NUMEROSAPI", v.voice) &&
                            readInteger(section, "VELOCIDADESAPI", v.speed) &&
                            readInteger(section, "TONALIDADESAPI", v.pitch);
  if (ok)
    divideFile();
  else
    sayMessage("VLPARINV", 1);
  v.active = false;
}

void recordNewProject() {
  AppState& s = appState();
  s.savedProjectDirectory = s.projectDirectory;
  sayMessage("VLNOVDIR", 1);
  std::string directory = utf8ToCp1252(s.projectDirectory);
  uint8_t k = editField(directory, 1, cursorRow(), true, 80, 255);
  newLine();
  if (k == key::Esc || directory.empty()) {
    s.projectDirectory = s.savedProjectDirectory;
    sayMessage("VLDESIST", 1);
    return;
  }
  s.projectDirectory = fullDirectoryPath(cp1252ToUtf8(directory));
  // Burning is no reason to make a folder: a mistyped path is said, not created.
  std::error_code error;
  if (!std::filesystem::is_directory(s.projectDirectory, error)) {
    beep();
    beep();
    writeLineSpeak(utf8ToCp1252("A pasta " + s.projectDirectory + " não existe."));
    s.projectDirectory = s.savedProjectDirectory;
    sayMessage("VLDESIST", 1);
    return;
  }
  if (!TrocaDir(s.projectDirectory)) {
    s.projectDirectory = s.savedProjectDirectory;
    goToProject();
    return;
  }
  s.newProjectMode = true;
  sayMessage("VLOK", 1);
  projectInformation();
  generateCd();
}

// The manual in the program's own reader, its sections as headings; the
// browser is the second choice, from the reader's N key or when the manual
// cannot be read here.
void openManual() {
  std::string manual = suiteDirectory() + "/manual/varlo.htm";
  std::string html;
  HtmlText text;
  if (readFileBytes(manual, html)) text = htmlToText(html, kColumns - 1);
  bool browser = text.lines.empty();
  if (!browser) {
    writeLineSpeak(utf8ToCp1252("Abrindo o manual no leitor do VARLO; F1 diz as teclas, ESC volta."));
    waitWhileBusy();
    std::vector<std::string> lines;
    for (const std::string& line : text.lines) lines.push_back(utf8ToCp1252(line));
    browser = viewText(lines, ViewerOptions{false, text.headings, true});
  }
  if (browser) {
    writeLineSpeak(utf8ToCp1252("Abrindo o manual no navegador; ao sair dele você volta ao VARLO"));
    waitWhileBusy();
    bool started = openWithProgram(manual, readPathSetting("MURENA", "PROG.HTM")) >= 0;
    if (!started) sayProgramMissing("do manual");
    waitForReturn();
    if (!started) return;
  }
  writeLineSpeak("De volta ao VARLO");
}

}  // namespace varlo
