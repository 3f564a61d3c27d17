// The terminal front end: terminal modes, signals, drawing and key input.
#include "frontends/terminal_front_end.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <vector>

#include "base/codepage.h"
#include "console/braille_keyboard.h"
#include "frontends/terminal_clipboard.h"
#include "frontends/terminal_keys.h"
#include "frontends/terminal_screen.h"
#include "platform/process.h"
#include "platform/scratch_files.h"

namespace varlo {

namespace {

using Clock = std::chrono::steady_clock;

// A lone Esc is known when no byte follows it within this time.
constexpr auto kEscapeTimeout = std::chrono::milliseconds(25);
// A click this soon after the terminal gained the focus only activated it.
constexpr auto kFocusClick = std::chrono::milliseconds(150);

// Title saved, alternate screen, cursor hidden, no autowrap (the bottom-right
// cell must not scroll the screen), mouse buttons in SGR form, focus reports.
constexpr char kEnterSequence[] =
    "\x1b[22;0t\x1b[?1049h\x1b[?25l\x1b[?7l\x1b[?1000h\x1b[?1006h\x1b[?1004h";
// The kitty keyboard protocol: the query of its flags (a terminal that
// knows it answers, and can then report key releases), and the flags pushed
// while the braille keyboard is on: every key as an escape code with its
// shifted form and its press, repeat or release, popped again after.
constexpr char kKeyReleasesQuery[] = "\x1b[?u";
constexpr char kKeyReleasesOn[] = "\x1b[>15u";
constexpr char kKeyReleasesOff[] = "\x1b[<u";
constexpr char kRestoreSequence[] =
    "\x1b[?1004l\x1b[?1006l\x1b[?1000l\x1b[?7h\x1b[0m\x1b[?25h\x1b[?1049l\x1b[23;0t";

struct Terminal {
  termios saved{};
  bool suspended = false;
  int columns = kColumns, rows = kRows;
  ScreenImage shown;
  bool redrawAll = true;
  std::string lastCursor;   // the cursor sequence last sent
  std::string input;   // bytes not decoded yet
  Clock::time_point lastInput;
  Clock::time_point focusGained;
  bool keyReleases = false;   // the terminal speaks the kitty protocol
} term;

// Shared with the signal handlers.
volatile sig_atomic_t active = 0;      // raw mode and alternate screen are on
volatile sig_atomic_t endSignal = 0;   // Ctrl+Break from outside
volatile sig_atomic_t resized = 0;
volatile sig_atomic_t continued = 0;
volatile sig_atomic_t releasesOn = 0;   // the protocol's flags are pushed

void writeAll(const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(1, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      pollfd fd{1, POLLOUT, 0};
      ::poll(&fd, 1, 100);
      continue;
    }
    if (n <= 0) return;   // the terminal is gone
    data += n;
    size -= static_cast<size_t>(n);
  }
}

void writeOut(const std::string& text) { writeAll(text.data(), text.size()); }

// Only async-signal-safe calls: used by the signal handlers too.
void leaveTerminal() {
  if (!active) return;
  active = 0;
  if (releasesOn) writeAll(kKeyReleasesOff, sizeof kKeyReleasesOff - 1);
  releasesOn = 0;
  writeAll(kRestoreSequence, sizeof kRestoreSequence - 1);
  tcsetattr(0, TCSADRAIN, &term.saved);
}

void onEndSignal(int sig) {
  if (endSignal) {   // asked twice: end now
    leaveTerminal();
    removeScratchFiles();
    endDetachedPrograms();
    _exit(128 + sig);
  }
  endSignal = sig;
}

void onFatalSignal(int sig) {
  leaveTerminal();
  signal(sig, SIG_DFL);
  raise(sig);
}

void onResize(int) { resized = 1; }
void onContinue(int) { continued = 1; }

void installHandler(int sig, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(sig, &action, nullptr);
}

void installSignalHandlers() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) installHandler(sig, onEndSignal);
  for (int sig : {SIGQUIT, SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL}) installHandler(sig, onFatalSignal);
  installHandler(SIGWINCH, onResize);
  installHandler(SIGCONT, onContinue);
}

void readSize() {
  winsize size{};
  if (ioctl(1, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
    term.columns = size.ws_col;
    term.rows = size.ws_row;
  }
}

bool tooSmall() { return term.columns < kColumns || term.rows < kRows; }

void enterTerminal() {
  termios raw = term.saved;
  raw.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
  raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  raw.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
  raw.c_cflag |= CS8;
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(0, TCSADRAIN, &raw);
  writeAll(kEnterSequence, sizeof kEnterSequence - 1);
  writeAll(kKeyReleasesQuery, sizeof kKeyReleasesQuery - 1);
  active = 1;
  readSize();
  term.redrawAll = true;
}

// Shown instead of the grid while the terminal cannot hold 80 x 25 cells,
// in short lines that fit a narrow terminal; said whole by the talking layer.
constexpr const char* kSizeLines[] = {"Aumente o terminal", "para 80 colunas", "por 25 linhas."};

void showSizeMessage(std::string& out) {
  out += "\x1b[0m\x1b[2J\x1b[H";
  std::string now = "Agora: " + std::to_string(term.columns) + " x " + std::to_string(term.rows);
  for (std::string line : kSizeLines) out += line.substr(0, term.columns) + "\r\n";
  out += now.substr(0, term.columns) + "\r\n";
}

const char* displayNotice() {
  static const std::string notice =
      std::string(kSizeLines[0]) + " " + kSizeLines[1] + " " + kSizeLines[2];
  return active && tooSmall() ? notice.c_str() : nullptr;
}

ScreenImage currentGrid() {
  ScreenImage image;
  std::memcpy(image.chars.data(), gridCharacters(), image.chars.size());
  std::memcpy(image.attributes.data(), gridAttributes(), image.attributes.size());
  return image;
}

void showCursor(std::string& out) {
  if (!caretWanted()) {
    out += "\x1b[?25l";
    return;
  }
  out += "\x1b[" + std::to_string(absoluteCursorRow() + 1) + ";" +
         std::to_string(absoluteCursorColumn() + 1) + "H\x1b[?25h";
}

void refresh() {
  if (!active) return;
  std::string out;
  if (tooSmall()) {
    if (term.redrawAll) showSizeMessage(out);
  } else {
    if (term.redrawAll) out += "\x1b[0m\x1b[2J";
    renderScreenChanges(term.shown, currentGrid(), term.redrawAll, out);
    // Drawing moves the terminal's cursor; otherwise it is sent on change only.
    std::string cursor;
    showCursor(cursor);
    if (!out.empty() || cursor != term.lastCursor) out += cursor;
    term.lastCursor = cursor;
  }
  term.redrawAll = false;
  writeOut(out);
}

void bell() {
  if (active) writeOut("\a");
}

void titleChanged() {
  if (active) writeOut("\x1b]2;" + terminalText(windowTitle()) + "\a");
}

void redraw() {
  term.redrawAll = true;
  titleChanged();
  refresh();
}

void handleSignals() {
  if (endSignal) {
    endDetachedPrograms();
    closeConsole(128 + endSignal);
  }
  if (resized) {
    resized = 0;
    readSize();
    redraw();
  }
  if (continued && !term.suspended) {   // stopped from outside and resumed
    continued = 0;
    enterTerminal();
    redraw();
  }
}

// A terminal that reports no key releases has no braille keyboard; the
// keys that switch it say so instead.
constexpr const char* kNoBrailleKeyboard =
    "Teclado braille n\xE3o dispon\xEDvel no terminal; use a janela (VARLO_CONSOLE=window).";

bool brailleModeKey(const TerminalKey& k) {
  constexpr uint8_t ctrlAlt = keymod::ctrl | keymod::alt;
  return k.extended && (k.modifiers & ctrlAlt) == ctrlAlt &&
         (k.code == key::CtrlF11 || k.code == key::CtrlF12);
}

// The protocol's flags follow the braille keyboard's mode.
void followBrailleMode() {
  bool wanted = term.keyReleases && active && brailleMode() != 0;
  if (wanted == static_cast<bool>(releasesOn)) return;
  releasesOn = wanted;
  writeOut(wanted ? kKeyReleasesOn : kKeyReleasesOff);
}

// Keys of a terminal that reports releases while the braille keyboard is
// on: the braille keys and letters are the keyboard's; true when taken.
bool brailleKey(const TerminalKey& k) {
  bool ctrl = k.modifiers & keymod::ctrl;
  if (k.released) {
    if (brailleMode() != 0) brailleKeyUp(k.letter, ctrl);
    return true;
  }
  if (brailleModeKey(k)) {
    if (!term.keyReleases) {
      announce(kNoBrailleKeyboard);
      return true;
    }
    setBrailleMode(k.code == key::CtrlF12 ? 0 : brailleMode() + 1);
    followBrailleMode();
    return true;
  }
  if (brailleMode() == 0 || k.letter == 0 || ctrl) return false;
  brailleKeyDown(k.letter, false);
  return true;
}

void deliver(const TerminalKey& k) {
  auto now = Clock::now();
  switch (k.source) {
    case TerminalKey::Source::keyReleases:
      term.keyReleases = true;
      followBrailleMode();
      return;
    case TerminalKey::Source::focusIn:
      term.focusGained = now;
      return;
    case TerminalKey::Source::focusOut:
      term.focusGained = {};
      return;
    case TerminalKey::Source::mouse:
      if (now - term.focusGained < kFocusClick) {
        term.focusGained = {};
        return;
      }
      break;
    case TerminalKey::Source::keyboard:
      if (brailleKey(k)) return;
      break;
  }
  queueKey(k.code, k.extended, k.modifiers);
}

// Read what the terminal has; the terminal gone (end of input, read error)
// ends the program like a hang-up.
void readInput(int timeoutMs) {
  if (!term.input.empty()) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        term.lastInput + kEscapeTimeout - Clock::now());
    timeoutMs = std::clamp(static_cast<int>(left.count()) + 1, 0, timeoutMs);
  }
  pollfd fd{0, POLLIN, 0};
  if (::poll(&fd, 1, timeoutMs) <= 0) return;
  char buffer[4096];
  ssize_t n = read(0, buffer, sizeof buffer);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
  if (n <= 0) closeConsole(128 + SIGHUP);
  term.input.append(buffer, static_cast<size_t>(n));
  term.lastInput = Clock::now();
}

void decodeInput() {
  bool idle = Clock::now() - term.lastInput >= kEscapeTimeout;
  std::vector<TerminalKey> keys;
  term.input.erase(0, decodeTerminalInput(term.input, idle, keys));
  for (const TerminalKey& k : keys) deliver(k);
}

void pollInput(int timeoutMs, bool keyWanted) {
  handleSignals();
  if (!active) {
    if (timeoutMs > 0) ::poll(nullptr, 0, timeoutMs);
    return;
  }
  readInput(timeoutMs);
  if (!term.input.empty()) decodeInput();
  followBrailleMode();
  handleSignals();
}

void suspend() {
  if (!active) return;
  term.suspended = true;
  leaveTerminal();
}

void resume() {
  if (!term.suspended) return;
  term.suspended = false;
  continued = 0;
  term.input.clear();
  enterTerminal();
  redraw();
}

void restore() {
  term.suspended = false;
  leaveTerminal();
}

void copyOut(std::string_view text) { copyOutOfTerminal(text, active ? writeOut : nullptr); }

const FrontEnd kTerminal = {refresh, bell,    titleChanged,  nullptr, pollInput,        suspend,
                            resume,  restore, displayNotice, copyOut, pasteIntoTerminal, nullptr,
                            redraw};

}  // namespace

const FrontEnd* openTerminalFrontEnd() {
  if (!isatty(0) || !isatty(1) || tcgetattr(0, &term.saved) != 0) return nullptr;
  installSignalHandlers();
  enterTerminal();
  return &kTerminal;
}

}  // namespace varlo
