// Waiting and reading: the event pump with the other modules' hooks, key
// reads that keep pumping in short slices, pauses and line input.
#include <algorithm>
#include <array>
#include <chrono>

#include "console/braille_line.h"
#include "console/console_core.h"

namespace varlo {

namespace {

// A wait for a key or a pause polls the front end for this long at most
// before the hooks run again, so sound and speech keep flowing.
constexpr int kSliceMs = 8;

struct Input {
  std::array<void (*)(), static_cast<size_t>(PumpHook::count)> hooks{};
  bool pumping = false;       // a hook that prints must not re-enter the hooks
  bool waitingForKey = false;
} input;

void runHooks() {
  if (input.pumping) return;
  input.pumping = true;
  for (auto hook : input.hooks)
    if (hook) hook();
  input.pumping = false;
}

// One round of the event loop: hooks, injected keys, then the front end,
// which may wait up to timeoutMs for input.
void pumpFor(int timeoutMs) {
  const FrontEnd& fe = frontEnd();
  runHooks();
  updateBrailleLine();
  moveInjectedKeys();
  fe.poll(timeoutMs, input.waitingForKey);
}

}  // namespace

void setPumpHook(PumpHook which, void (*hook)()) {
  if (which == PumpHook::count) return;
  input.hooks[static_cast<size_t>(which)] = hook;
}

void pumpMessages() { pumpFor(0); }

bool keyPending() {
  pumpMessages();
  return queuedKeyCount() > 0;
}

bool caretWanted() { return input.waitingForKey; }

uint8_t readKey() {
  const FrontEnd& fe = frontEnd();
  moveInjectedKeys();
  if (queuedKeyCount() == 0) {
    input.waitingForKey = true;
    fe.refresh();
    while (queuedKeyCount() == 0) pumpFor(kSliceMs);
    input.waitingForKey = false;
    fe.refresh();
  }
  uint8_t code = 0;
  takeKey(code);
  return code;
}

// The whole time passes; keys that arrive meanwhile stay queued, and the
// hooks keep running so that sound does not starve.
void pause(unsigned milliseconds) {
  using Clock = std::chrono::steady_clock;
  auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (auto now = Clock::now(); now < end; now = Clock::now()) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(end - now).count();
    pumpFor(static_cast<int>(std::min<long long>(left, kSliceMs)));
  }
  pumpMessages();
}

// An extended key (0 and its code) is skipped whole: its code byte would
// otherwise enter the line as a letter (Up arrow as "H").
std::string readLine(int bufferSize) {
  std::string line;
  for (;;) {
    uint8_t code = readKey();
    if (code == key::Enter) break;
    if (code == 0) {
      readKey();
    } else if (code == key::Backspace) {
      if (!line.empty()) {
        line.pop_back();
        writeText("\b");
      }
    } else if (code >= 32 && static_cast<int>(line.size()) < bufferSize - 2) {
      line += static_cast<char>(code);
      writeText(std::string_view(line).substr(line.size() - 1));
    }
  }
  writeText("\r\n");
  return line;
}

}  // namespace varlo
