// The headless front end: no display, keys from injection or from stdin.
#include "console/headless_front_end.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

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

struct Headless {
  bool echo = false;
  bool endsWithInput = true;
  bool stdinIsInput = false;   // a pipe or file to read keys from
  bool inputEnded = false;
  bool lastWasCarriageReturn = false;
  std::string partial;          // an unfinished UTF-8 sequence
  int endEscapes = 0;
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

// Wait up to timeoutMs for stdin and read what is there.
void readStdin(int timeoutMs) {
  pollfd fd{0, POLLIN, 0};
  if (::poll(&fd, 1, timeoutMs) <= 0) return;
  char buffer[4096];
  ssize_t n = read(0, buffer, sizeof buffer);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
  if (n <= 0) headless.inputEnded = true;
  takeInput(std::string_view(buffer, n > 0 ? static_cast<size_t>(n) : 0));
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
    nothing, nothing, nothing, wrote,   pollInput, nothing, nothing,
    nothing, nullptr, nullptr, nullptr, nullptr,   nullptr,
};

}  // namespace

const FrontEnd* openHeadlessFrontEnd() {
  Headless kept = headless;
  headless = Headless{};
  headless.echo = kept.echo;
  headless.endsWithInput = kept.endsWithInput;
  headless.stdinIsInput = !isatty(0) && fcntl(0, F_GETFD) != -1;
  headless.inputEnded = !headless.stdinIsInput;
  catchEndSignals();
  return &kHeadless;
}

void setHeadlessEcho(bool on) { headless.echo = on; }
void setHeadlessEndsWithInput(bool on) { headless.endsWithInput = on; }

}  // namespace varlo
