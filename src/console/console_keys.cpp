// The key queue: 64 bytes of key codes, extended keys as 0 and a code, and
// the buffer of injected keys that waits for room in it.
#include <algorithm>
#include <array>
#include <deque>

#include "console/console_core.h"

namespace varlo {

namespace {

struct InjectedKey {
  uint8_t code;
  bool extended;
  uint8_t modifiers;
};

struct KeyQueue {
  std::array<uint8_t, kKeyQueueSize> bytes{};
  std::array<uint8_t, kKeyQueueSize> modifiers{};   // held with each byte
  int count = 0;
  uint8_t lastModifiers = 0;
  std::deque<InjectedKey> injected;
} keys;

// Alt codes of the letters A-Z, in alphabetical order.
constexpr std::array<uint8_t, 26> kAltLetters = {30, 48, 46, 32, 18, 33, 34, 35, 23,
                                                 36, 37, 38, 50, 49, 24, 25, 16, 19,
                                                 31, 20, 22, 47, 17, 45, 21, 44};

bool fits(bool extended) { return keys.count + (extended ? 2 : 1) <= kKeyQueueSize; }

}  // namespace

uint8_t altKeyCode(uint8_t letterOrDigit) {
  uint8_t c = letterOrDigit;
  if (c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return kAltLetters[c - 'A'];
  if (c == '0') return 129;
  if (c >= '1' && c <= '9') return static_cast<uint8_t>(120 + c - '1');
  return 0;
}

uint8_t extendedKeyCode(uint8_t plain, uint8_t modifiers) {
  static constexpr std::array<std::array<uint8_t, 2>, 22> kCtrlCodes = {{
      {key::F1, key::CtrlF1}, {key::F2, key::CtrlF2}, {key::F3, key::CtrlF3},
      {key::F4, key::CtrlF4}, {key::F5, key::CtrlF5}, {key::F6, key::CtrlF6},
      {key::F7, key::CtrlF7}, {key::F8, key::CtrlF8}, {key::F9, key::CtrlF9},
      {key::F10, key::CtrlF10}, {key::F11, key::CtrlF11}, {key::F12, key::CtrlF12},
      {key::Insert, key::CtrlInsert}, {key::Delete, key::Delete}, {key::Home, key::CtrlHome},
      {key::End, key::CtrlEnd}, {key::PageUp, key::CtrlPageUp},
      {key::PageDown, key::CtrlPageDown}, {key::Up, key::CtrlUp}, {key::Down, key::CtrlDown},
      {key::Left, key::CtrlLeft}, {key::Right, key::CtrlRight}}};
  if (modifiers & keymod::ctrl) {
    for (const auto& pair : kCtrlCodes)
      if (pair[0] == plain) return pair[1];
    return plain;
  }
  return plain == key::Insert && (modifiers & keymod::shift) ? key::ShiftInsert : plain;
}

bool queueKey(uint8_t code, bool extended, uint8_t modifiers) {
  if (!fits(extended)) return false;
  if (extended) {
    keys.modifiers[keys.count] = modifiers;
    keys.bytes[keys.count++] = 0;
  }
  keys.modifiers[keys.count] = modifiers;
  keys.bytes[keys.count++] = code;
  return true;
}

uint8_t keyModifiers() { return keys.lastModifiers; }

void pushKey(uint8_t code) { queueKey(code, false); }

int queuedKeyCount() { return keys.count; }

bool takeQueuedExtendedKey(uint8_t code) {
  for (int i = 0; i + 1 < keys.count; ++i) {
    if (keys.bytes[i] != 0) continue;  // a plain key
    if (keys.bytes[i + 1] == code) {
      std::copy(keys.bytes.begin() + i + 2, keys.bytes.begin() + keys.count, keys.bytes.begin() + i);
      std::copy(keys.modifiers.begin() + i + 2, keys.modifiers.begin() + keys.count, keys.modifiers.begin() + i);
      keys.count -= 2;
      return true;
    }
    ++i;  // the code of an extended key is never a key of its own
  }
  return false;
}

void flushKeyQueue() {
  keys.count = 0;
  keys.injected.clear();
}

void peekKeys(uint8_t& first, uint8_t& second) {
  first = keys.count > 0 ? keys.bytes[0] : 0;
  second = keys.count > 1 ? keys.bytes[1] : 0;
}

bool takeKey(uint8_t& code) {
  if (keys.count == 0) return false;
  code = keys.bytes[0];
  keys.lastModifiers = keys.modifiers[0];
  std::copy(keys.bytes.begin() + 1, keys.bytes.begin() + keys.count, keys.bytes.begin());
  std::copy(keys.modifiers.begin() + 1, keys.modifiers.begin() + keys.count, keys.modifiers.begin());
  --keys.count;
  return true;
}

void injectKeys(std::string_view bytes) {
  for (char c : bytes) keys.injected.push_back({static_cast<uint8_t>(c), false, 0});
}

void injectExtendedKey(uint8_t code, uint8_t modifiers) {
  keys.injected.push_back({code, true, modifiers});
}

int injectedKeyCount() { return static_cast<int>(keys.injected.size()); }

void moveInjectedKeys() {
  while (!keys.injected.empty() && fits(keys.injected.front().extended)) {
    const InjectedKey& k = keys.injected.front();
    queueKey(k.code, k.extended, k.modifiers);
    keys.injected.pop_front();
  }
}

}  // namespace varlo
