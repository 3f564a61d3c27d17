// The battery report and opening addresses, documents and programs.
#include "speech/speech_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "base/config.h"
#include "console/console.h"
#include "speech/speech_state.h"
#include "platform/process.h"

namespace varlo {
namespace {

std::string readLineOf(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::string slashes(std::string text) {
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  return text;
}

// Starts a program without waiting for it and without leaving a zombie: an
// intermediate child starts it and ends at once. Its output goes nowhere, so
// that the console screen stays intact. False when it could not be started.
bool launch(const std::vector<std::string>& command, const std::string& parameter) {
  // Made before the fork: the child only execs.
  std::vector<const char*> argv;
  for (const std::string& word : command) argv.push_back(word.c_str());
  if (!parameter.empty()) argv.push_back(parameter.c_str());
  argv.push_back(nullptr);
  int ready[2];
  if (pipe2(ready, O_CLOEXEC) != 0) return false;
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    setsid();
    if (fork() != 0) _exit(0);
    int null = open("/dev/null", O_RDWR);
    dup2(null, 0), dup2(null, 1), dup2(null, 2);
    execvp(argv[0], const_cast<char* const*>(argv.data()));
    char failed = 1;
    (void)!write(ready[1], &failed, 1);
    _exit(127);
  }
  close(ready[1]);
  waitpid(child, nullptr, 0);
  char failed = 0;
  bool started = read(ready[0], &failed, 1) != 1;
  close(ready[0]);
  return started;
}

}  // namespace

BatteryStatus readBatteryStatus(const std::string& root) {
  BatteryStatus status;
  bool mainsSeen = false, mainsOnline = false;
  DIR* dir = opendir(root.c_str());
  if (!dir) return status;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    const std::string base = root + "/" + entry->d_name + "/";
    const std::string type = readLineOf(base + "type");
    if (type == "Battery" && readLineOf(base + "scope") != "Device" && !status.hasBattery) {
      std::string capacity = readLineOf(base + "capacity");
      if (capacity.empty() || capacity.find_first_not_of("0123456789") != std::string::npos) {
        continue;
      }
      status.hasBattery = true;
      status.percent = std::stoi(capacity);
      if (readLineOf(base + "status") == "Discharging") status.onMains = false;
    } else if (type == "Mains" || type == "USB") {
      mainsSeen = true;
      mainsOnline = mainsOnline || readLineOf(base + "online") == "1";
    }
  }
  closedir(dir);
  if (mainsSeen) status.onMains = mainsOnline;
  return status;
}

void sayBattery() {
  BatteryStatus status = readBatteryStatus();
  if (!status.hasBattery) {
    playRecording("_SEMBAT");
    return;
  }
  speak(std::to_string(status.percent) + "%");
  if (!status.onMains) playRecording("_SEMENER");
}

AddressLaunch planAddress(std::string_view address, const std::string& currentDirectory) {
  std::string text = slashes(std::string(address.substr(0, 255)));
  if (startsWith(text, "http://") || startsWith(text, "https://") || startsWith(text, "www.")) {
    return {splitCommand(readPathSetting("MURENA", "PROG.HTM")), text};
  }
  size_t dot = text.find('.');
  std::string ext = dot == std::string::npos ? "" : upperText(text.substr(dot + 1, 3));
  if (ext != "EXE" && ext != "COM") {
    return {splitCommand(readPathSetting("MURENA", "PROG." + ext)), text};
  }
  if (text[0] == '/' || (text.size() > 1 && text[1] == ':')) return {{text}, ""};
  std::string dir = currentDirectory;
  if (dir.empty() || dir.back() != '/') dir += '/';
  return {{dir + text}, ""};
}

void openAddress(std::string_view address) {
  if (address.empty()) {
    beep();
    return;
  }
  char cwd[4096];
  std::string here = getcwd(cwd, sizeof cwd) ? cwd : ".";
  AddressLaunch plan = planAddress(address, here);
  if (plan.command.empty()) plan.command = {"xdg-open"};
  waitWhileBusy();
  if (!launch(plan.command, plan.parameter)) beep();
  waitWhileBusy();
}

}  // namespace varlo
