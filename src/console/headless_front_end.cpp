// The headless front end: no display, keys from injection or from stdin.
#include "console/headless_front_end.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>

#include "base/codepage.h"
#include "platform/process.h"
#include "platform/scratch_files.h"

namespace varlo {

namespace {

// Esc keys handed out after the input ended before the program is ended.
constexpr int kEndOfInputEscapes = 50;
// A lone Esc is told from the start of a key's sequence by the pause after it.
constexpr int kEscapeTimeoutMs = 50;

struct Headless {
  bool echo = false;
  bool endsWithInput = true;
  bool stdinIsInput = false;   // a pipe or file to read keys from
  bool inputEnded = false;
  bool lastWasCarriageReturn = false;
  std::string partial;          // an unfinished UTF-8 or key sequence
  int endEscapes = 0;
  TerminalKeyDecoder decoder = nullptr;
  bool terminal = false;        // keys typed at a terminal, decoded
  termios saved{};              // the terminal's mode before the run
  bool suspended = false;       // the terminal lent to another program
} headless;

// Length of the text without a UTF-8 sequence cut short at its end.
size_t wholeUtf8Length(std::string_view text) {
  for (size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    auto b = static_cast<unsigned char>(text[text.size() - back]);
    if ((b & 0xC0) == 0x80) continue;
    size_t need = (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 1;
    return need > back ? text.size() - back : text.size();
  }
  return text.size();
}

// Typed text becomes keys: a line end (LF, CR or CR LF) is one Enter.
void injectTyped(std::string_view cp1252) {
  std::string keys;
  for (char c : cp1252) {
    bool afterCr = headless.lastWasCarriageReturn;
    headless.lastWasCarriageReturn = c == '\r';
    if (c == '\n' && afterCr) continue;
    keys += c == '\n' || c == '\r' ? static_cast<char>(key::Enter) : c;
  }
  injectKeys(keys);
}

void takeInput(std::string_view bytes) {
  headless.partial.append(bytes);
  size_t whole = headless.inputEnded ? headless.partial.size() : wholeUtf8Length(headless.partial);
  injectTyped(utf8ToCp1252(std::string_view(headless.partial).substr(0, whole)));
  headless.partial.erase(0, whole);
}

void decodeTyped(bool idle) {
  headless.partial.erase(0, headless.decoder(headless.partial, idle));
}

// Wait up to timeoutMs for stdin and read what is there.
void readStdin(int timeoutMs) {
  pollfd fd{0, POLLIN, 0};
  // An unfinished key sequence is finished by a pause, not by the next key.
  if (headless.terminal && !headless.partial.empty()) timeoutMs = std::min(timeoutMs, kEscapeTimeoutMs);
  if (::poll(&fd, 1, timeoutMs) <= 0) {
    if (headless.terminal && !headless.partial.empty()) decodeTyped(true);
    return;
  }
  char buffer[4096];
  ssize_t n = read(0, buffer, sizeof buffer);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
  if (n <= 0) headless.inputEnded = true;
  std::string_view bytes(buffer, n > 0 ? static_cast<size_t>(n) : 0);
  if (!headless.terminal) return takeInput(bytes);
  headless.partial.append(bytes);
  decodeTyped(headless.inputEnded);
}

// Keys one by one, unseen: the script echoes what it reads itself.
void enterTerminal() {
  if (tcgetattr(0, &headless.saved) != 0) return;
  termios raw = headless.saved;
  raw.c_lflag &= tcflag_t(~(ICANON | ECHO));
  raw.c_iflag &= tcflag_t(~(ICRNL | IXON));
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  headless.terminal = tcsetattr(0, TCSANOW, &raw) == 0;
}

void restoreTerminal() {
  if (headless.terminal) tcsetattr(0, TCSANOW, &headless.saved);
  headless.terminal = false;
}

void suspendTerminal() {
  headless.suspended = headless.terminal;
  restoreTerminal();
}

void resumeTerminal() {
  if (headless.suspended) enterTerminal();
  headless.suspended = false;
}

void pollInput(int timeoutMs, bool keyWanted) {
  bool idle = queuedKeyCount() == 0 && injectedKeyCount() == 0;
  if (!idle) {
    headless.endEscapes = 0;
  } else if (headless.stdinIsInput && !headless.inputEnded) {
    readStdin(timeoutMs);
    return;
  } else if (keyWanted) {
    if (++headless.endEscapes > kEndOfInputEscapes && headless.endsWithInput) closeConsole(0);
    queueKey(key::Esc, false);
    return;
  }
  if (timeoutMs > 0) ::poll(nullptr, 0, timeoutMs);
}

void wrote(std::string_view bytes) {
  if (!headless.echo) return;
  std::string text;
  for (char c : bytes)
    if (c == '\n' || static_cast<uint8_t>(c) >= 32) text += c;
  std::string utf8 = cp1252ToUtf8(text);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

void nothing() {}

// Ended from outside: unfinished files go, then the signal does what it
// would have done.
void onEndSignal(int sig) {
  restoreTerminal();
  removeScratchFiles();
  endDetachedPrograms();
  signal(sig, SIG_DFL);
  raise(sig);
}

// Only signals that would end the program anyway: one ignored by whoever
// started it (nohup) stays ignored.
void catchEndSignals() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction old {};
    sigaction(sig, nullptr, &old);
    if (old.sa_handler != SIG_DFL) continue;
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    sigaction(sig, &action, nullptr);
  }
}

const FrontEnd kHeadless = {
    nothing,         nothing, nothing, wrote,   pollInput, suspendTerminal, resumeTerminal,
    restoreTerminal, nullptr, nullptr, nullptr, nullptr,   nullptr,
};

}  // namespace

const FrontEnd* openHeadlessFrontEnd() {
  Headless kept = headless;
  headless = Headless{};
  headless.echo = kept.echo;
  headless.endsWithInput = kept.endsWithInput;
  headless.decoder = kept.decoder;
  headless.stdinIsInput = !isatty(0) && fcntl(0, F_GETFD) != -1;
  if (isatty(0) && headless.decoder) {
    enterTerminal();
    headless.stdinIsInput = headless.terminal;
  }
  headless.inputEnded = !headless.stdinIsInput;
  catchEndSignals();
  return &kHeadless;
}

void setHeadlessEcho(bool on) { headless.echo = on; }
void setHeadlessTerminalKeys(TerminalKeyDecoder decoder) { headless.decoder = decoder; }
void setHeadlessEndsWithInput(bool on) { headless.endsWithInput = on; }

}  // namespace varlo
