// External programs: posix_spawn, then waitpid polled every few
// milliseconds between pumps.
#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <chrono>
#include <csignal>
#include <cstdlib>

extern char** environ;

namespace varlo {

namespace {

constexpr int kWaitSliceMs = 10;

void doNothing() {}
ProgramWaitHooks hooks{doNothing, doNothing, doNothing};

bool isExecutable(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// What is in the pipe now, without waiting for the rest: a program that
// left a child of its own behind may keep the pipe open for long.
void drain(int fd, std::string* output) {
  char buffer[4096];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    output->append(buffer, static_cast<size_t>(n));
  }
}

using Clock = std::chrono::steady_clock;

// How long a program may run and how much it may write before it is ended.
struct WaitLimits {
  Clock::time_point deadline = Clock::time_point::max();
  size_t outputLimit = SIZE_MAX;
  bool group = false;   // the program leads a group: what it started goes with it
};
constexpr int kOverrunStatus = -2;

bool overran(const WaitLimits& limits, const std::string* output) {
  return Clock::now() >= limits.deadline || (output && output->size() > limits.outputLimit);
}

// Pump until the child ends; returns its wait status, -1 when lost, or
// kOverrunStatus when it was killed for going past its limits.
int waitPumping(pid_t pid, int outputFd, std::string* output, const WaitLimits& limits = {}) {
  for (;;) {
    int status = 0;
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return status;
    if (r < 0 && errno != EINTR) return -1;
    if (overran(limits, output)) {
      kill(limits.group ? -pid : pid, SIGKILL);
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
      return kOverrunStatus;
    }
    hooks.pump();
    pollfd fd{outputFd, POLLIN, 0};
    poll(&fd, outputFd >= 0 ? 1 : 0, kWaitSliceMs);
    if (outputFd >= 0) drain(outputFd, output);
  }
}

int exitCode(int status) {
  if (status == kOverrunStatus) return kProgramOverran;
  if (status < 0) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

// Where a background program's streams go: stdin from inputFd or
// /dev/null; stdout to outputFd or /dev/null; stderr with stdout, or to
// /dev/null when its messages must not mix with the data.
struct Streams {
  int inputFd = -1;
  int outputFd = -1;
  bool errorsWithOutput = true;
  bool ownGroup = false;   // leads a process group of its own
};

bool redirect(posix_spawn_file_actions_t& actions, const Streams& streams) {
  bool ok = streams.inputFd >= 0
                ? posix_spawn_file_actions_adddup2(&actions, streams.inputFd, 0) == 0
                : posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0) == 0;
  ok = ok && (streams.outputFd >= 0
                  ? posix_spawn_file_actions_adddup2(&actions, streams.outputFd, 1) == 0
                  : posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0) == 0);
  if (streams.errorsWithOutput) return ok && posix_spawn_file_actions_adddup2(&actions, 1, 2) == 0;
  return ok && posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0) == 0;
}

struct Spawned {
  pid_t pid = -1;
  int outputFd = -1;   // read end of the capture pipe
};

Spawned spawn(const std::vector<std::string>& argv, ProgramMode mode, bool capture,
              Streams streams = {}, char* const* environment = environ) {
  Spawned child;
  int fds[2] = {-1, -1};
  if (capture && pipe2(fds, O_CLOEXEC) != 0) return child;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The child gets the default action for the signals the console catches or
  // that a terminal program's parent ignores while it runs.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int sig : {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGWINCH, SIGCONT}) sigaddset(&defaults, sig);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  short flags = POSIX_SPAWN_SETSIGDEF;
  if (streams.ownGroup) {
    posix_spawnattr_setpgroup(&attributes, 0);
    flags |= POSIX_SPAWN_SETPGROUP;
  }
  posix_spawnattr_setflags(&attributes, flags);

  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  streams.outputFd = fds[1];
  bool ready = mode == ProgramMode::terminal || redirect(actions, streams);
  pid_t pid = -1;
  if (ready && posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environment) == 0)
    child.pid = pid;
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (fds[1] >= 0) close(fds[1]);
  if (child.pid < 0 && fds[0] >= 0) close(fds[0]);
  if (child.pid >= 0 && fds[0] >= 0) {
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    child.outputFd = fds[0];
  }
  return child;
}

// While a program has the terminal, Ctrl+C and Ctrl+\ typed there are its
// own: the console ignores them, as a shell does.
struct TerminalHandOver {
  struct sigaction savedInt {}, savedQuit {};
  TerminalHandOver() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGINT, &ignore, &savedInt);
    sigaction(SIGQUIT, &ignore, &savedQuit);
    hooks.suspend();
  }
  ~TerminalHandOver() {
    hooks.resume();
    sigaction(SIGINT, &savedInt, nullptr);
    sigaction(SIGQUIT, &savedQuit, nullptr);
  }
};

// Programs started without waiting, not yet collected, each the leader of
// its own process group (so that what it starts in turn goes with it). Kept
// in fixed slots so that a signal handler can end them without allocating.
constexpr int kDetachedSlots = 64;
volatile pid_t detached[kDetachedSlots] = {};

void noteDetached(pid_t pid) {
  for (volatile pid_t& slot : detached) {
    if (slot == 0) {
      slot = pid;
      return;
    }
  }
}

void collectDetached() {
  for (volatile pid_t& slot : detached) {
    if (slot == 0) continue;
    int status = 0;
    pid_t r = waitpid(slot, &status, WNOHANG);
    if (r == slot || (r < 0 && errno != EINTR)) slot = 0;
  }
}

}  // namespace

void setProgramWaitHooks(const ProgramWaitHooks& given) { hooks = given; }

int runProgram(const std::vector<std::string>& argv, ProgramMode mode, std::string* output) {
  collectDetached();
  if (argv.empty() || argv[0].empty()) return -1;
  bool capture = mode == ProgramMode::background && output != nullptr;
  if (mode == ProgramMode::background) {
    Spawned child = spawn(argv, mode, capture);
    if (child.pid < 0) return -1;
    int status = waitPumping(child.pid, child.outputFd, output);
    if (child.outputFd >= 0) {
      drain(child.outputFd, output);
      close(child.outputFd);
    }
    return exitCode(status);
  }
  TerminalHandOver handOver;
  Spawned child = spawn(argv, mode, false);
  if (child.pid < 0) return -1;
  return exitCode(waitPumping(child.pid, -1, nullptr));
}

namespace {

// A file in memory holding the text, at its start; -1 when none can be made.
int inputFile(std::string_view text) {
  int fd = memfd_create("varlo-input", MFD_CLOEXEC);
  if (fd < 0) return -1;
  for (size_t done = 0; done < text.size();) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      close(fd);
      return -1;
    }
    done += static_cast<size_t>(n);
  }
  lseek(fd, 0, SEEK_SET);
  return fd;
}

}  // namespace

int runProgramLimited(const std::vector<std::string>& argv, std::string_view input,
                      std::string* output, int timeoutMs, size_t outputLimit) {
  if (argv.empty() || argv[0].empty()) return -1;
  int inputFd = inputFile(input);
  if (inputFd < 0) return -1;
  Spawned child = spawn(argv, ProgramMode::background, output != nullptr, {inputFd, -1, false, true});
  close(inputFd);
  if (child.pid < 0) return -1;
  WaitLimits limits{Clock::now() + std::chrono::milliseconds(timeoutMs), outputLimit, true};
  int status = waitPumping(child.pid, child.outputFd, output, limits);
  if (child.outputFd >= 0) {
    if (status != kOverrunStatus) drain(child.outputFd, output);
    close(child.outputFd);
  }
  return exitCode(status);
}

namespace {

// The environment with the given "NAME=value" entries in place of the
// inherited ones of the same names.
std::vector<std::string> environmentWith(const std::vector<std::string>& changes) {
  std::vector<std::string> result(changes);
  for (char** entry = environ; *entry; ++entry) {
    std::string_view inherited(*entry);
    bool replaced = false;
    for (const std::string& change : changes)
      replaced = replaced || inherited.substr(0, inherited.find('=') + 1) ==
                                 std::string_view(change).substr(0, change.find('=') + 1);
    if (!replaced) result.emplace_back(inherited);
  }
  return result;
}

}  // namespace

namespace {

RunningProgram startInGroup(const std::vector<std::string>& argv, bool withInput,
                            const std::vector<std::string>& environment, bool ownGroup) {
  RunningProgram program;
  if (argv.empty() || argv[0].empty()) return program;
  int fds[2] = {-1, -1};
  if (withInput && pipe2(fds, O_CLOEXEC) != 0) return program;
  std::vector<std::string> entries = environmentWith(environment);
  std::vector<char*> envp;
  for (std::string& entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);
  Spawned child =
      spawn(argv, ProgramMode::background, false, {fds[0], -1, false, ownGroup}, envp.data());
  if (fds[0] >= 0) close(fds[0]);
  if (child.pid < 0) {
    if (fds[1] >= 0) close(fds[1]);
    return program;
  }
  program.pid = child.pid;
  program.inputFd = fds[1];
  return program;
}

}  // namespace

RunningProgram startProgram(const std::vector<std::string>& argv, bool withInput,
                            const std::vector<std::string>& environment) {
  return startInGroup(argv, withInput, environment, false);
}

bool startDetachedProgram(const std::vector<std::string>& argv) {
  collectDetached();
  RunningProgram program = startInGroup(argv, false, {}, true);
  if (program.pid < 0) return false;
  noteDetached(program.pid);
  return true;
}

void endDetachedPrograms() {
  for (volatile pid_t& slot : detached) {
    if (slot > 0) kill(-slot, SIGTERM);
  }
}

int checkProgram(int pid) {
  int status = 0;
  pid_t r;
  while ((r = waitpid(pid, &status, WNOHANG)) < 0 && errno == EINTR) {}
  if (r == 0) return kStillRunning;
  return r == pid ? exitCode(status) : -1;
}

void killProgram(int pid) {
  kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
}

void becomeProgram(const std::vector<std::string>& argv,
                   const std::vector<std::string>& environment, bool endWithParent) {
  if (argv.empty()) return;
  pid_t parent = getppid();
  // The parent may have ended before the request was made.
  if (endWithParent && (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent)) return;
  std::vector<std::string> entries = environmentWith(environment);
  std::vector<char*> envp, args;
  for (std::string& entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> words(argv);
  for (std::string& word : words) args.push_back(word.data());
  args.push_back(nullptr);
  execve(args[0], args.data(), envp.data());
}

// VARLO_CORES, when it is a positive number, caps the count: a catalogue
// runs several books at once and gives each its share of the cores.
int coreCount() {
  int cores = 1;
  cpu_set_t set;
  long online = sysconf(_SC_NPROCESSORS_ONLN);
  if (sched_getaffinity(0, sizeof set, &set) == 0) cores = std::max(1, CPU_COUNT(&set));
  else if (online > 0) cores = int(online);
  const char* share = std::getenv("VARLO_CORES");
  int capped = share ? std::atoi(share) : 0;
  return capped > 0 ? std::min(cores, capped) : cores;
}

std::string findProgram(std::string_view name) {
  if (name.empty()) return "";
  std::string wanted(name);
  if (wanted.find('/') != std::string::npos) return isExecutable(wanted) ? wanted : "";
  const char* path = std::getenv("PATH");
  std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  while (true) {
    size_t colon = dirs.find(':');
    std::string dir(dirs.substr(0, colon));
    std::string candidate = (dir.empty() ? "." : dir) + "/" + wanted;
    if (isExecutable(candidate)) return candidate;
    if (colon == std::string_view::npos) return "";
    dirs.remove_prefix(colon + 1);
  }
}

std::vector<std::string> splitCommand(std::string_view command) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (char c : command) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;   // "" is an empty parameter
    } else if (!quoted && (c == ' ' || c == '\t')) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

std::string quotedProgram(std::string_view path) {
  std::string text(path);
  return text.find_first_of(" \t") == std::string::npos ? text : '"' + text + '"';
}

namespace {

// The command with the target added: in place of each "%s", else at the end.
std::vector<std::string> withTarget(std::vector<std::string> command, std::string_view target) {
  bool placed = false;
  for (std::string& word : command) {
    for (size_t at = word.find("%s"); at != std::string::npos; at = word.find("%s", at + target.size())) {
      word.replace(at, 2, target);
      placed = true;
    }
  }
  if (!placed) command.emplace_back(target);
  return command;
}

// The command started with the terminal handed over; -1 when its program is missing.
int runCommandOn(std::vector<std::string> command, std::string_view target) {
  if (command.empty()) return -1;
  std::string program = findProgram(command[0]);
  if (program.empty()) return -1;
  command[0] = program;
  return runProgram(withTarget(std::move(command), target), ProgramMode::terminal);
}

// The first program of $BROWSER that exists; -2 when there is none.
int openWithBrowserVariable(std::string_view target) {
  const char* variable = std::getenv("BROWSER");
  std::string_view list = variable ? variable : "";
  while (!list.empty()) {
    size_t colon = list.find(':');
    std::vector<std::string> command = splitCommand(list.substr(0, colon));
    if (!command.empty() && !findProgram(command[0]).empty()) return runCommandOn(command, target);
    list.remove_prefix(colon == std::string_view::npos ? list.size() : colon + 1);
  }
  return -2;
}

}  // namespace

int openWithProgram(std::string_view target, std::string_view configuredProgram) {
  std::vector<std::string> configured = splitCommand(configuredProgram);
  if (!configured.empty()) return runCommandOn(configured, target);
  if (int status = openWithBrowserVariable(target); status != -2) return status;
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  bool desktop = (x11 && *x11) || (wayland && *wayland);
  std::string opener = desktop ? findProgram("xdg-open") : "";
  if (!opener.empty()) return runProgram({opener, std::string(target)}, ProgramMode::background);
  // On a text console the page opens in a text browser that gets the terminal.
  for (const char* browser : {"www-browser", "lynx", "w3m", "elinks", "links"}) {
    std::string program = findProgram(browser);
    if (!program.empty()) return runProgram({program, std::string(target)}, ProgramMode::terminal);
  }
  return -1;
}

}  // namespace varlo
