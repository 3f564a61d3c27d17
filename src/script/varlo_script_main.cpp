// varlo-script ARQUIVO [RÓTULO]: runs a script on the headless console, its
// output mirrored to stdout and its keys read from stdin (typed at a
// terminal or piped), speaking at a terminal, and exits with the host's
// result code. VARLO_SCRIPT_PLANS=0 reads every line from its tokens
// (the reference the pre-analysed lines are compared with).
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "console/console.h"
#include "speech/speech.h"
#include "base/codepage.h"
#include "console/headless_front_end.h"
#include "frontends/terminal_keys.h"
#include "script/host.h"
#include "script/output.h"
#include "script/plan.h"

namespace {

// Deep recursion of scripts needs more native stack than the usual 8 MB
// (kept well below the gap the kernel leaves under the stack).
void growStack() {
  rlimit limit{};
  if (getrlimit(RLIMIT_STACK, &limit) != 0) return;
  constexpr rlim_t kWanted = rlim_t(64) << 20;
  if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < kWanted) {
    limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? kWanted : std::min(kWanted, limit.rlim_max);
    setrlimit(RLIMIT_STACK, &limit);
  }
}

// Keys typed at the terminal, decoded as the program's terminal does.
size_t queueTypedKeys(std::string_view bytes, bool idle) {
  std::vector<varlo::TerminalKey> keys;
  size_t used = varlo::decodeTerminalInput(bytes, idle, keys);
  for (const varlo::TerminalKey& k : keys)
    if (k.source == varlo::TerminalKey::Source::keyboard && !k.released)
      varlo::queueKey(k.code, k.extended, k.modifiers);
  return used;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace varlo;
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "uso: varlo-script ARQUIVO [ROTULO]\n");
    return 2;
  }
  growStack();
  // At a terminal the script talks with the configured voice; a piped run,
  // or VARLO_AUDIO=none, is silent.
  const char* audio = std::getenv("VARLO_AUDIO");
  bool quiet = audio ? std::string(audio) == "none" : !isatty(1);
  if (quiet) setenv("VARLO_AUDIO", "null", 1);
  // Always the headless console: the text goes to stdout, keys come from
  // stdin, typed at a terminal or piped.
  setenv("VARLO_CONSOLE", "headless", 1);
  setHeadlessTerminalKeys(queueTypedKeys);
  openConsole();
  setHeadlessEcho(true);
  initSpeech(0, "");
  setSpeechSilenced(quiet);
  resetInterpreter();
  const char* plans = std::getenv("VARLO_SCRIPT_PLANS");
  if (plans && std::string(plans) == "0") setLinePlans(false);
  std::string label = argc == 3 ? utf8ToCp1252(argv[2]) : std::string();
  RunOutcome outcome;
  try {
    outcome = executeScript(argv[1], label);
    if (outcome.code != srSuccess) reportResult(outcome.code, label);
    shutdownSpeech();
  } catch (const std::bad_alloc&) {
    // Memory ran out even for the run's own report: say it without
    // allocating and end as a failed run.
    std::fputs("Memória insuficiente\n", stdout);
    std::fflush(stdout);
    return srRunFailed;
  }
  closeConsole(outcome.code);
}
