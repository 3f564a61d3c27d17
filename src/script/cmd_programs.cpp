// EXECUTA and ESPERA: other programs, and waiting.
#include <algorithm>
#include <chrono>

#include "base/codepage.h"
#include "console/console.h"
#include "platform/process.h"
#include "script/cmd_operands.h"
#include "script/commands.h"
#include "script/desktop_windows.h"
#include "script/interp.h"

namespace varlo {

// EXECUTA command [&]: the program (in double quotes when its path holds
// blanks) and its parameters, started in the current directory. Without
// the ampersand the script waits for its end while the console goes on
// pumping; either way its output is kept off the console.
bool cmdRunProgram() {
  std::string command;
  bool given = theToken.kind != tkEnd && theToken.kind != tkAmpersand && readString(command, false);
  std::vector<std::string> argv = splitCommand(cp1252ToUtf8(command));
  if (!given || argv.empty()) return failLine("Esperava um comando");
  bool wait = !takeAmpersand();
  bool started = wait ? runProgram(argv, ProgramMode::background) != -1 : startDetachedProgram(argv);
  setIoStatus(started ? 0 : 1);
  if (!started) return failLine(cp("Não foi possível executar o programa ") + utf8ToCp1252(argv[0]));
  return true;
}

namespace {

// Waits the time while the console pumps; Ctrl+F12 ends the script.
void waitMilliseconds(int64_t total) {
  using Clock = std::chrono::steady_clock;
  auto end = Clock::now() + std::chrono::milliseconds(total);
  int32_t line = currentScript().currentLine;
  for (auto now = Clock::now(); now < end; now = Clock::now()) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(end - now).count();
    pause(unsigned(std::min<int64_t>(left, 50)));
    stopOnInterruptKey(line);
  }
}

}  // namespace

// ESPERA n [MS | title]
bool cmdWait() {
  int32_t amount = 0;
  if (theToken.kind == tkEnd || !readInteger(amount, false) || amount <= 0) {
    return failLine(cp("Esperava o número de segundos"));
  }
  if (theToken.kind == tkEnd) {
    waitMilliseconds(int64_t(amount) * 1000);
    return true;
  }
  if (isWord("MS") && nextTokenKind() == tkEnd) {
    scan();
    waitMilliseconds(amount);
    return true;
  }
  std::string title;
  if (!readString(title, false) || title.empty()) return failLine("Esperava o nome da janela");
  waitForWindowTitle(amount, title);
  return true;
}

}  // namespace varlo
