// Start-up, the project-directory prompt and the main menu: its keys, arrow
// menu and help, each option sent to its own module.
#include "shell/main_menu.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/catalogue_command.h"
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

// Esc waiting in the queue: the listing ends there. Any other key only cuts
// the line being said short.
bool escapeWaits() {
  uint8_t first = 0, second = 0;
  if (!keyPending()) return false;
  peekKeys(first, second);
  return first == key::Esc;
}

// Each line is said unless Esc asked to stop the listing.
bool sayHelpLine(const char* key) {
  if (escapeWaits()) return false;
  sayMessage(key, 1);
  return true;
}

void sayHelp() {
  playRecording("VLMENU");
  pause(100);
  bool listing = sayHelpLine("VLOP");
  pause(100);
  for (const char* key : kOptionKeys) listing = listing && sayHelpLine(key);
  if (listing) {
    beep();
    beep();
    pause(100);
  }
  listing = listing && sayHelpLine("VLUSECON");
  pause(100);
  for (const char* key : {"VLCTRLG", "VLCTRLD", "VLCTRLC", "VLCTRLN", "VLREVTEL"})
    listing = listing && sayHelpLine(key);
  if (!listing) stopSpeech();
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
  // F9, or the key that opens the review everywhere else.
  bool review = k == 0 && (extended == key::F9 || extended == key::CtrlF9);
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

// Another copy runs: the user is told so on standard error (in the
// terminal, where a screen reader or the caller finds it; the running copy
// keeps the sound card), and the status says nothing was done.
[[noreturn]] void endSecondInstance(bool oneShot) {
  std::fputs(oneShot ? "varlo: outra cópia do VARLO já está em execução; o livro não foi convertido.\n"
                     : "varlo: o VARLO já está aberto; volte à janela em que ele está.\n",
             stderr);
  std::exit(1);
}

constexpr const char* kUsage =
    "Uso: varlo [--formato daisy|epub|mp3] [livro.txt]\n"
    "     varlo [--formato daisy|epub|mp3] --catalogo [--slurm] ORIGEM DESTINO\n"
    "     varlo --catalogo --estado DESTINO\n"
    "     varlo --help | --version\n";

// The options before the book, read before anything is shown or said: a
// mistyped one ends with a usage line instead of a silent failure.
std::string readOptions(int& argc, char**& argv) {
  std::string format;
  while (argc > 1 && argv[1][0] == '-' && argv[1][1] != '\0') {
    std::string option = argv[1];
    if (option.starts_with("--catalogo")) break;
    if (option == "--help" || option == "-h") {
      std::fputs(kUsage, stdout);
      std::fputs("Sem livro, abre o menu no diretório do projeto; com um livro, converte-o e termina.\n",
                 stdout);
      std::exit(0);
    }
    if (option == "--version") {
      std::printf("VARLO KET %s\n", kVersion);
      std::exit(0);
    }
    std::string value = option == "--formato" && argc > 2 ? upperText(argv[2]) : "";
    if (value != "DAISY" && value != "EPUB" && value != "MP3") {
      std::fprintf(stderr, "varlo: %s: %s\n%s",
                   option == "--formato" ? "formato de livro desconhecido" : "opção desconhecida",
                   option != "--formato" ? option.c_str() : argc > 2 ? argv[2] : "(nenhum)", kUsage);
      std::exit(2);
    }
    format = value;
    argv += 2;
    argc -= 2;
  }
  return format;
}

}  // namespace

void runVarlo(int argc, char** argv) {
  // "--formato daisy|epub|mp3" before the text chooses the book's format.
  std::string format = readOptions(argc, argv);
  // A catalogue drives other runs of the program and opens no console.
  if (argc > 1 && std::string_view(argv[1]).starts_with("--catalogo"))
    runCatalogueCommand(format, argc - 1, argv + 1);
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
  if (!format.empty()) appState().bookFormat = format;
  if (oneShot) {
    runCommandLineJob(argv[1]);
    farewell();
  }
  askProjectDirectory();
  mainLoop();
  farewell();
}

}  // namespace varlo
