// Main-menu option G: asking speed and label, running createcd on the
// project directory, and reminding the user to check the disc.
#include "shell/cd_generation.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>

#include "production/cd_generation_burner.h"
#include "production/text_lines.h"
#include "base/config.h"
#include "console/console.h"
#include "widgets/field_editor.h"
#include "speech/speech.h"
#include "base/codepage.h"
#include "platform/process.h"
#include "shell/app_state.h"
#include "speech/messages.h"
#include "shell/project.h"
#include "shell/project_options.h"

namespace varlo {

namespace {

constexpr int kMaxSpeed = 48;

void newLine() { writeText("\r\n"); }

void beeps(int count) {
  for (int i = 0; i < count; ++i) beep();
}

bool isExecutable(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The burner: in the suite directory, beside this program, or on the PATH.
std::string burnerPath() {
  for (const std::string& dir : {suiteDirectory(), executableDirectory()}) {
    std::string path = dir + (dir.empty() || dir.back() == '/' ? "" : "/") + "createcd";
    if (!dir.empty() && isExecutable(path)) return path;
  }
  return "createcd";
}

// The speed chosen with the arrows; 0 (the drive's own) after Esc.
int askSpeed() {
  newLine();
  sayMessage("VLVELGRA", 0);
  int column = cursorColumn(), row = cursorRow();
  int speed = 2;
  while (true) {
    moveCursor(column, row);
    clearToLineEnd();
    writeNumberSpeak(speed);
    uint8_t key = readKey();
    if (key == key::Enter) return speed;
    if (key == key::Esc) break;
    if (key == 0) speed = nextSpeed(speed, readKey());
  }
  // The number shown is not the one used: say what is (the word alone fits
  // the line after the prompt).
  moveCursor(column, row);
  clearToLineEnd();
  writeSpeak(utf8ToCp1252("PADRÃO"));
  return 0;
}

std::string askLabel() {
  newLine();
  sayMessage("VLINFROT", 0);
  std::string label;
  readLineSpoken(label);
  return burnerLabel(label);
}


std::string shownLabel(const std::string& label) {
  return label.empty() ? "DATA ATUAL" : label;
}

void showDetails(const AppState& s, int speed, const std::string& label) {
  newLine();
  sayMessage("VLMAIINF", 0);
  uint8_t key = readAnswerKey();
  if (key != 'S' && key != 's') return;
  if (!s.newProjectMode) {
    clearWindow();
    newLine();
    projectInformation();
  }
  playRecording("VLEFEITO");
  sayMessage("VLVELUTI", 0);
  writeLineSpeak(speed ? std::to_string(speed) + " X" : utf8ToCp1252("VELOCIDADE PADRÃO"));
  newLine();
  playRecording("VLEFEITO");
  sayMessage("VLROTUTI", 0);
  writeLineSpeak(shownLabel(label));
  newLine();
}

bool confirmed() {
  beeps(2);
  newLine();
  sayMessage("VLPROGER", 1);
  pause(100);
  sayMessage("VLENTESC", 1);
  if (readKey() == key::Enter) return true;
  sayMessage("VLDESIST", 1);
  return false;
}

// The burner's last words, to explain a failure.
std::string lastLineOf(const std::string& output) {
  std::string last;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);)
    if (!trimBlanks(line).empty()) last = line;
  return last;
}

// Until a key is pressed: check the disc, the tray may be open.
void remindUntilKey() {
  beeps(3);
  flushKeys();
  while (true) {
    sayMessage("VLVERRES", 1);
    pause(100);
    sayMessage("VLGAVETA", 1);
    for (int waited = 0; waited < 2000 && !keyPending(); waited += 50) pause(50);
    if (keyPending()) return;
  }
}

// An image file has no tray to check: where it is, and that it is done, is
// all there is to say.
void sayImageMade(const std::string& recorder) {
  std::error_code error;
  std::filesystem::path image = std::filesystem::absolute(recorder, error);
  beeps(1);
  writeLineSpeak(utf8ToCp1252("Imagem do CD gravada com sucesso em " +
                              (error ? recorder : image.lexically_normal().string()) + "."));
}

void burn(const std::vector<std::string>& args, const std::string& recorder,
          const std::string& label) {
  newLine();
  sayMessage("VLGERCD2", 1);
  setTitle("VARLO gerando CD : " + shownLabel(label));
  std::vector<std::string> argv = args;
  argv.insert(argv.begin(), burnerPath());
  std::string output;
  int status = runProgram(argv, ProgramMode::background, &output);
  if (status < 0) {
    beeps(2);
    sayMessage("VLNAOCRE", 1);
    pause(100);
    sayMessage("VLCAN", 1);
    return;
  }
  if (status != 0) {
    // The burner explains the failure in Portuguese; the user hears it, and
    // is not sent to look at a disc that was not made.
    std::string reason = lastLineOf(output);
    beeps(2);
    writeLineSpeak(utf8ToCp1252(reason.empty() ? "A gravação do CD falhou." : reason));
    return;
  }
  if (isImagePath(recorder))
    sayImageMade(recorder);
  else
    remindUntilKey();
}

// Whether the directory holds something to burn (hidden names aside).
bool holdsFiles(const std::string& directory) {
  bool found = false;
  if (DIR* dir = opendir(directory.c_str())) {
    while (dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.') found = true;
    closedir(dir);
  }
  return found;
}

void sayEmptyDirectory(const std::string& directory) {
  beeps(2);
  writeLineSpeak(utf8ToCp1252("A pasta " + directory + " está vazia, não há o que gravar."));
  pause(100);
  sayMessage("VLCAN", 1);
}

void restoreProject(AppState& s) {
  if (!s.newProjectMode) return;
  s.newProjectMode = false;
  s.projectDirectory = s.savedProjectDirectory;
  if (!TrocaDir(s.projectDirectory)) {
    shutdownSpeech();
    closeConsole();
  }
  sayMessage("VLVOLPAD", 1);
}

}  // namespace

std::string recorderSetting(std::string_view cdDrive) {
  std::string drive(trimBlanks(cdDrive));
  bool letter = !drive.empty() && std::isalpha(static_cast<unsigned char>(drive[0])) &&
                (drive.size() == 1 || (drive[1] == ':' && drive.find('/') == std::string::npos));
  return letter ? drive.substr(0, 1) : drive;
}

std::string burnerLabel(std::string_view typed) {
  std::string label(typed);
  std::replace(label.begin(), label.end(), ' ', '_');
  return label;
}

std::vector<std::string> burnerArguments(const std::string& recorder, int speed,
                                         const std::string& label, const std::string& project) {
  std::vector<std::string> args = {"-r:" + recorder};
  if (speed > 0) args.push_back("-s:" + std::to_string(speed));
  if (!label.empty()) args.push_back("-l:" + label);
  args.insert(args.end(), {"-eject", "-v", project + "/*.*"});
  return args;
}

int nextSpeed(int speed, int extendedKey) {
  if (extendedKey == key::Down && speed < kMaxSpeed) return speed + 2;
  if (extendedKey == key::Up && speed > 2) return speed - 2;
  return speed;
}

void generateCd() {
  AppState& s = appState();
  std::string recorder = recorderSetting(s.cdDrive);
  if (recorder.empty()) {
    beeps(2);
    sayMessage("VLNAOCD", 1);
    pause(100);
    sayMessage("VLCAN", 1);
  } else if (!holdsFiles(s.projectDirectory)) {
    sayEmptyDirectory(s.projectDirectory);
  } else {
    int speed = askSpeed();
    std::string label = askLabel();
    // The label leaves this program in the disk's code page.
    auto args = burnerArguments(recorder, speed, cp1252ToUtf8(label), s.projectDirectory);
    showDetails(s, speed, label);
    if (confirmed()) burn(args, recorder, label);
  }
  restoreProject(s);
  pause(1000);
  setTitle("VARLO");
  flushKeys();
  sayMessage("VLOK", 1);
}

}  // namespace varlo
