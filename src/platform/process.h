// Starting external programs (the MP3 encoder, the CD burner, the editor,
// the browser) and waiting for them while the program keeps pumping, so
// that sound, speech and keys go on flowing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlo {

enum class ProgramMode {
  terminal,     // the program uses the terminal (an editor): it is handed over
  background,   // stdin from /dev/null, output captured or discarded
};

// What the waiting does between two looks at the program: keep the console's
// messages flowing, and hand the terminal over and take it back. The console
// sets them when it opens; until then they do nothing.
struct ProgramWaitHooks {
  void (*pump)();
  void (*suspend)();
  void (*resume)();
};
void setProgramWaitHooks(const ProgramWaitHooks& hooks);

// Run argv[0] (searched in PATH when it has no '/') with its arguments and
// wait for it. In background mode the program's stdout and stderr go to
// *output when given, else nowhere, so it never writes on the console.
// Returns the exit status (128 + signal number when a signal ended it), or
// -1 when the program could not be started; callers tell the user.
int runProgram(const std::vector<std::string>& argv, ProgramMode mode,
               std::string* output = nullptr);

// Start argv[0] in the background (stdin from /dev/null, its output
// discarded) and return at once; false when it could not be started. Such
// programs are collected as they end, at the next start of any program; each
// leads a process group of its own.
bool startDetachedProgram(const std::vector<std::string>& argv);
// Sends SIGTERM to the process group of every such program still running:
// when the program is ended from outside, what its scripts started goes
// too. A normal end leaves them running. Safe in a signal handler.
void endDetachedPrograms();

// What runProgramLimited answers for a program it ended for running too
// long or writing too much.
constexpr int kProgramOverran = -2;

// A small background program given `input` on its stdin, its stdout kept in
// *output when given (its stderr discarded, so that messages never mix with
// the data). It is killed with what it started (it leads a process group),
// and kProgramOverran answered, when it runs longer than timeoutMs or writes
// more than outputLimit bytes; otherwise the answer is runProgram's.
int runProgramLimited(const std::vector<std::string>& argv, std::string_view input,
                      std::string* output, int timeoutMs, size_t outputLimit);

// A background program started without waiting for it (the MP3 encoders,
// several at a time, beside the rendering). Its stdin is a pipe whose write
// end is inputFd when asked for (the caller closes it), else /dev/null; its
// output goes nowhere. `environment` holds "NAME=value" entries that take
// the place of the inherited ones. pid is -1 when it could not be started.
struct RunningProgram {
  int pid = -1;
  int inputFd = -1;
};
RunningProgram startProgram(const std::vector<std::string>& argv, bool withInput,
                            const std::vector<std::string>& environment);
// What checkProgram answers while the program runs.
constexpr int kStillRunning = -3;
// Without waiting: the exit status as runProgram answers it, or kStillRunning.
int checkProgram(int pid);
// End a started program at once and reap it.
void killProgram(int pid);

// Becomes the program (exec), with the environment changed as startProgram
// does it; with endWithParent it gets SIGTERM when the process that started
// this one ends, however that ended. Returns only when it failed.
void becomeProgram(const std::vector<std::string>& argv,
                   const std::vector<std::string>& environment, bool endWithParent);

// The cores this process may run on.
int coreCount();

// The full path of an executable program: a name with a '/' is checked as
// it is, another is searched in PATH. Empty when there is none.
std::string findProgram(std::string_view name);

// A configured program with its own parameters ("/usr/bin/code" -w,
// emacs -nw) cut into words at blanks; a double-quoted stretch keeps its
// blanks and loses its quotes, so a program whose path holds blanks is
// written in quotes. Empty for an empty or blank text.
std::vector<std::string> splitCommand(std::string_view command);
// A program path as a configured command writes it: quoted when it holds blanks.
std::string quotedProgram(std::string_view path);

// Open a file or an address with the configured program (a command as
// splitCommand reads it; it gets the terminal) when one is given, else with
// the first program of $BROWSER (a colon-separated list; "%s" stands for the
// target), else with xdg-open in the background on a desktop, else with a
// text browser (www-browser, lynx, w3m, elinks, links) that gets the
// terminal. Returns as runProgram does.
int openWithProgram(std::string_view target, std::string_view configuredProgram);

}  // namespace varlo
