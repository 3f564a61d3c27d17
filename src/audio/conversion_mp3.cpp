#include "audio/conversion_mp3.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "console/config.h"
#include "console/console.h"
#include "console/file_chooser.h"
#include "console/speech.h"
#include "platform/codepage.h"

extern char** environ;

namespace varlo {

namespace {

// The encoding running in the background, at most one.
struct Encoding {
  pid_t pid = -1;
  std::string directory;   // where the files are (absolute)
  std::string wavName, mp3Name, finalMp3Name;
};

Encoding running;

bool isExecutable(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string currentDirectory() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) ? buffer : ".";
}

// lame reads tag texts through the locale: a UTF-8 one keeps accents.
std::vector<std::string> encoderEnvironment() {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "LC_ALL=", 7) != 0) env.emplace_back(*e);
  env.emplace_back("LC_ALL=C.UTF-8");
  return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (std::string& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

// Start the program without a window of its own: its output would write
// over the console.
pid_t startInBackground(const std::string& program, std::vector<std::string> args) {
  args.insert(args.begin(), program);
  std::vector<std::string> env = encoderEnvironment();
  std::vector<char*> argv = pointers(args), envp = pointers(env);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  int error = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? pid : -1;
}

// Wait for the process while the console keeps its messages flowing.
int waitWhilePumping(pid_t pid) {
  int status = 0;
  while (true) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return status;
    if (done < 0 && errno != EINTR) return -1;
    pumpMessages();
    usleep(10000);
  }
}

long fileSize(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? long(info.st_size) : -1;
}

}  // namespace

std::string lamePath() {
  std::string configured = readSetting("VARLO", "PROG_LAME");
  if (!configured.empty()) return configured;
  std::string suite = suiteDirectory();
  std::string inSuite = suite + (suite.empty() || suite.back() == '/' ? "" : "/") + "lame";
  return isExecutable(inSuite) ? inSuite : "lame";
}

std::vector<std::string> lameArguments(const std::string& mp3Options, const Mp3Tags& tags,
                                       const std::string& wavName, const std::string& mp3Name) {
  std::vector<std::string> args;
  std::istringstream words(mp3Options);
  for (std::string word; words >> word;) args.push_back(word);
  if (!tags.title.empty()) args.insert(args.end(), {"--tt", tags.title});
  if (!tags.album.empty()) args.insert(args.end(), {"--tl", tags.album});
  if (tags.track > 0) args.insert(args.end(), {"--tn", std::to_string(tags.track)});
  args.insert(args.end(), {wavName, mp3Name});
  return args;
}

bool startMp3(const std::string& mp3Options, const Mp3Tags& tags, const std::string& wavName,
              const std::string& mp3Name, const std::string& finalMp3Name) {
  finishMp3();
  pid_t pid = startInBackground(lamePath(), lameArguments(mp3Options, tags, wavName, mp3Name));
  if (pid < 0) return false;
  running = {pid, currentDirectory(), wavName, mp3Name, finalMp3Name};
  return true;
}

void finishMp3() {
  if (running.pid < 0) return;
  int status = waitWhilePumping(running.pid);
  Encoding job = running;
  running = Encoding{};
  std::string dir = job.directory + "/";
  std::string mp3 = dir + job.mp3Name;
  bool encoded = status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!encoded || fileSize(mp3) <= 0) {
    // A half-written MP3 is worse than none: the WAV stays for another try.
    std::remove(mp3.c_str());
    beep();
    beep();
    writeLineSpeak(utf8ToCp1252("A conversão para MP3 falhou; o arquivo WAV foi mantido: ") +
                   displayName(job.wavName));
    return;
  }
  if (job.mp3Name != job.finalMp3Name)
    std::rename(mp3.c_str(), (dir + job.finalMp3Name).c_str());
  std::remove((dir + job.wavName).c_str());
}

}  // namespace varlo
