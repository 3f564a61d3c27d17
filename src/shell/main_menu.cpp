// Start-up, the project-directory prompt and the main menu: its keys, arrow
// menu and help, each option sent to its own module.
#include "shell/main_menu.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/cd_generation.h"
#include "shell/command_line_job.h"
#include "shell/conversion.h"
#include "shell/text_division_dialog.h"
#include "base/config.h"
#include "console/colour_scheme.h"
#include "console/console.h"
#include "console/braille_keyboard.h"
#include "engines/engines.h"
#include "speech/speech.h"
#include "base/codepage.h"
#include "platform/instance_lock.h"
#include "sound/tone_generator.h"
#include "shell/app_state.h"
#include "shell/menu_options.h"
#include "shell/project_options.h"
#include "shell/settings_dialog.h"
#include "speech/messages.h"
#include "shell/project.h"
#include "widgets/screen_review.h"

namespace varlo {

namespace {

constexpr const char* kVersion = "2.2 BETA";
// Entries of the arrow menu and of the F1 listing, in order, with the option
// letter each stands for.
constexpr const char* kOptionKeys[] = {"VLGERCD", "VLGERSOM", "VLCONQUA", "VLFORARQ",
                                       "VLDIVARQ", "VLLIS", "VLMOD", "VLVERVOZ",
                                       "VLTESARQ", "VLCTRLI", "VLSCRIPT"};
constexpr const char* kOptionLetters = "gcafdlmvtie";

void newLine() { writeText("\r\n"); }

void sayOnBlue(const char* key, int lineBreaks) {
  setBackgroundColor(scheme::heading.background);
  sayMessage(key, lineBreaks);
  setBackgroundColor(0);
}

void greet() {
  sayOnBlue("VLINIC", 0);
  setBackgroundColor(scheme::heading.background);
  writeLineSpeak(kVersion);
  setBackgroundColor(0);
  newLine();
  AppState& s = appState();
  s.sapiAvailableAtStart = s.useSapi = engineActive();
  if (!engineActive()) {
    setBackgroundColor(scheme::warning.background);
    sayMessage("VLSAPDOS", 1);
    setBackgroundColor(0);
  }
}

// An installation whose data directory was removed can neither read its
// settings nor find its voice: it says which directory is missing, on the
// screen, aloud and on stderr for whoever started it, and ends with failure.
void requireSuiteDirectory() {
  if (suiteDirectoryExists()) return;
  std::string message = "A pasta de dados do VARLO não existe: " + suiteDirectory() +
                        ". Reinstale o programa ou indique a pasta em VARLO_SUITE.";
  std::fprintf(stderr, "varlo: %s\n", message.c_str());
  // No settings were read: the espeak-ng voice, which needs none of the
  // missing data, says it.
  reconfigureSpeech(3, true, kEngineEspeak, 1, 0, 0);
  writeLineSpeak(utf8ToCp1252(message));
  waitWhileBusy();
  shutdownSpeech();
  closeConsole(1);
}

void askProjectDirectory() {
  AppState& s = appState();
  newLine();
  sayMessage("VLINFTRA", 1);
  pause(100);
  sayMessage("VLPREENT", 1);
  std::string directory = utf8ToCp1252(s.projectDirectory);
  uint8_t ending = editProjectDirectory(directory);
  newLine();   // what follows goes below the directory, not over it
  if (ending == key::Esc) farewell();
  s.projectDirectory =
      directory.empty() ? currentDirectoryName() : fullDirectoryPath(cp1252ToUtf8(directory));
  if (!TrocaDir(s.projectDirectory)) {
    beep();
    beep();
    sayMessage("VLPROTDT", 1);
    farewell();
  }
  sayMessage("VLIRETRA", 0);
  writeLineSpeak(utf8ToCp1252(s.projectDirectory));
  fillSelectionAtStart();
  flushKeys();
}

void sayHelp() {
  playRecording("VLMENU");
  pause(100);
  sayMessage("VLOP", 1);
  pause(100);
  for (const char* key : kOptionKeys) sayMessage(key, 1);
  beep();
  beep();
  pause(100);
  sayMessage("VLUSECON", 1);
  pause(100);
  for (const char* key : {"VLCTRLG", "VLCTRLD", "VLCTRLC", "VLCTRLN"}) sayMessage(key, 1);
  flushKeys();
}

// The arrow menu's choice as an option letter; Enter when nothing was chosen.
uint8_t chooseFromArrowMenu() {
  int choice = runArrowMenu(kOptionKeys, sizeof kOptionKeys / sizeof kOptionKeys[0]);
  return choice >= 1 ? static_cast<uint8_t>(kOptionLetters[choice - 1]) : key::Enter;
}

// Read one menu key; extended keys that open the menus are handled here and
// answer Enter (the prompt repeats). Any other extended key answers 0, an
// invalid option.
uint8_t readMenuKey() {
  uint8_t extended = 0;
  uint8_t k = readKeyEcho(extended);
  bool review = k == 0 && extended == key::F9;
  if (review) reviewScreen();   // the review starts, and ends, at the prompt
  newLine();
  if (k != 0) return k;
  if (extended == key::Up || extended == key::Down) return chooseFromArrowMenu();
  if (extended == key::F1)
    sayHelp();
  else if (!review)
    return 0;
  return key::Enter;
}

// Run the option of a key; false when the key ends the menu loop.
bool dispatch(uint8_t k) {
  switch (upperText(std::string(1, static_cast<char>(k)))[0]) {
    case key::Enter: return true;
    case key::Esc: return false;
    case 'A': settingsDialog(); return true;
    case 'C': convertSelection(); return true;
    case 'D': divideFile(); return true;
    case 'E': runScriptOption(); return true;
    case 'F': editWithSuiteEditor(); return true;
    case 'G': generateCd(); return true;
    case 'I': projectInformation(); return true;
    case 'L': listSelection(); return true;
    case 'M': modifySelection(); return true;
    case 'T': voiceTest(); return true;
    case 'V': voiceAdjust(); return true;
    case 3: copyProjectOption(); return true;
    case 4: divideAlternatingVoices(); return true;
    case 7: recordNewProject(); return true;
    case 14: openManual(); return true;
    default: sayMessage("VLOPINV", 1); return true;
  }
}

void mainLoop() {
  for (;;) {
    pause(200);
    sayOnBlue("VLQUALOP", 0);
    if (!dispatch(readMenuKey())) return;
  }
}

// Another copy runs: an interactive start ends without a word, a one-shot job
// tells its caller why; either way the status says nothing was done.
[[noreturn]] void endSecondInstance(bool oneShot) {
  if (oneShot)
    std::fputs("varlo: outra cópia do VARLO já está em execução; o livro não foi convertido.\n", stderr);
  std::exit(1);
}

}  // namespace

void runVarlo(int argc, char** argv) {
  // "--formato daisy|mp3" before the text chooses the book's format.
  std::string format;
  if (argc > 3 && std::string(argv[1]) == "--formato") {
    format = upperText(argv[2]);
    argv += 2;
    argc -= 2;
  }
  bool oneShot = argc > 1 && std::string(argv[1]) != "*";
  if (!acquireInstanceLock("varlo")) endSecondInstance(oneShot);
  setBrailleToneHooks(startTone, stopTone);
  clearWindow();
  setTitle("VARLO");
  // Before the voices start: without the data directory the recorded voice
  // cannot load, and only espeak-ng, which needs none of it, can say why.
  requireSuiteDirectory();
  initSpeech(0, readPathSetting("VARLO", "DIRVARLO"));
  greet();
  loadAppState(appState());
  if (format == "DAISY" || format == "MP3") {
    appState().bookFormat = format;
  } else if (!format.empty()) {
    writeLineSpeak("Formato de livro desconhecido: " + format + " (use daisy ou mp3).");
    farewell(1);
  }
  if (oneShot) {
    runCommandLineJob(argv[1]);
    farewell();
  }
  askProjectDirectory();
  mainLoop();
  farewell();
}

}  // namespace varlo
