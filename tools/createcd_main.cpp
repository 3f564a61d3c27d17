// createcd: burns files onto a CD or DVD, or writes them into an ISO image,
// through xorriso.
//
//   createcd -r:RECORDER [-s:SPEED] [-l:LABEL] [-eject] [-v] "DIR/*.*"
//
// RECORDER is a device (/dev/sr0), a drive letter (the first optical drive)
// or a file path ending in ".iso". Messages are Portuguese; the exit status
// is 0 only when everything was written.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "production/cd_generation_burner.h"

extern char** environ;

namespace varlo {
namespace {

enum ExitCode { ok = 0, badArguments = 2, nothingToBurn = 3, noXorriso = 4, burnFailed = 5 };

void say(const std::string& text) { std::fprintf(stderr, "createcd: %s\n", text.c_str()); }

std::string today() {
  std::time_t now = std::time(nullptr);
  char text[16];
  std::strftime(text, sizeof text, "%Y_%m_%d", std::localtime(&now));
  return text;
}

// Runs xorriso; its output goes to the terminal when verbose, else to `log`.
// -1 when it could not be started, else its exit status.
int runXorriso(const std::vector<std::string>& args, bool verbose, const std::string& log) {
  std::vector<char*> argv;
  std::string program = "xorriso";
  argv.push_back(program.data());
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!verbose) {
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  pid_t pid;
  int error = posix_spawnp(&pid, "xorriso", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
  if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return -1;  // exec failed in the child
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The last lines xorriso wrote, so that a failure is explained.
void showLogTail(const std::string& log) {
  std::FILE* file = std::fopen(log.c_str(), "r");
  if (!file) return;
  std::vector<std::string> lines;
  char buffer[1024];
  while (std::fgets(buffer, sizeof buffer, file)) {
    lines.emplace_back(buffer);
    if (lines.size() > 5) lines.erase(lines.begin());
  }
  std::fclose(file);
  for (const std::string& line : lines) std::fputs(line.c_str(), stderr);
}

int burn(const BurnRequest& request) {
  std::vector<std::string> entries = sourceEntries(request.source);
  if (entries.empty()) {
    say("Nada a gravar em " + request.source);
    return nothingToBurn;
  }
  std::string problem = recorderProblem(request.recorder);
  if (!problem.empty()) {
    say(problem);
    return burnFailed;
  }
  bool image = isImagePath(request.recorder);
  // An image is written beside its final name and renamed only when
  // complete, so that a failed run leaves an older image intact.
  std::string partial = request.recorder + ".parcial";
  if (image) std::remove(partial.c_str());
  std::string output = image ? "stdio:" + partial : recorderDevice(request.recorder);
  std::string log = "/tmp/createcd-" + std::to_string(getpid()) + ".log";
  int status = runXorriso(xorrisoArguments(request, entries, output, today()),
                          request.verbose, log);
  if (status != 0 && !request.verbose) showLogTail(log);
  std::remove(log.c_str());
  if (status < 0) {
    say("O programa xorriso não está instalado; instale o pacote xorriso.");
    return noXorriso;
  }
  if (status == 0 && image && std::rename(partial.c_str(), request.recorder.c_str()) != 0)
    status = errno;
  if (status != 0) {
    if (image) std::remove(partial.c_str());
    say("A gravação falhou (código " + std::to_string(status) + ").");
    return burnFailed;
  }
  say("Gravação concluída: " + std::to_string(entries.size()) + " item(ns) em " +
      (image ? request.recorder : output) + ".");
  return ok;
}

}  // namespace
}  // namespace varlo

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  varlo::BurnRequest request;
  std::string error;
  if (!varlo::parseBurnArguments(args, request, error)) {
    varlo::say(error);
    std::fprintf(stderr,
                 "uso: createcd -r:GRAVADOR [-s:VELOCIDADE] [-l:ROTULO] [-eject] [-v] "
                 "\"DIRETORIO/*.*\"\n");
    return varlo::badArguments;
  }
  return varlo::burn(request);
}
