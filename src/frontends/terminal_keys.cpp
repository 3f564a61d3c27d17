// Decoding of terminal input into key codes. Byte 127 is the Backspace key
// and byte 8 Ctrl+Backspace, as terminals send them.
#include "frontends/terminal_keys.h"

#include <algorithm>
#include <array>
#include <string>

#include "console/console.h"
#include "base/codepage.h"

namespace varlo {

namespace {

using Keys = std::vector<TerminalKey>;
constexpr uint8_t kEsc = 0x1B;

struct ExtendedKey {
  uint8_t plain, ctrl;
};

constexpr std::array<ExtendedKey, 12> kFunctionKeys = {{{key::F1, key::CtrlF1},
                                                        {key::F2, key::CtrlF2},
                                                        {key::F3, key::CtrlF3},
                                                        {key::F4, key::CtrlF4},
                                                        {key::F5, key::CtrlF5},
                                                        {key::F6, key::CtrlF6},
                                                        {key::F7, key::CtrlF7},
                                                        {key::F8, key::CtrlF8},
                                                        {key::F9, key::CtrlF9},
                                                        {key::F10, key::CtrlF10},
                                                        {key::F11, key::CtrlF11},
                                                        {key::F12, key::CtrlF12}}};
constexpr ExtendedKey kUp{key::Up, key::CtrlUp}, kDown{key::Down, key::CtrlDown},
    kLeft{key::Left, key::CtrlLeft}, kRight{key::Right, key::CtrlRight},
    kHome{key::Home, key::CtrlHome}, kEnd{key::End, key::CtrlEnd},
    kInsert{key::Insert, key::CtrlInsert}, kDelete{key::Delete, key::Delete},
    kPageUp{key::PageUp, key::CtrlPageUp}, kPageDown{key::PageDown, key::CtrlPageDown},
    kNoKey{0, 0};

struct Modifiers {
  bool shift = false, alt = false, ctrl = false;
  uint8_t bits() const {
    return (shift ? keymod::shift : 0) | (ctrl ? keymod::ctrl : 0) | (alt ? keymod::alt : 0);
  }
};

// The xterm modifier parameter: 1 + (Shift 1, Alt 2, Ctrl 4, Meta 8).
// A decimal parameter read digit by digit; a run of digits longer than any
// real parameter stops growing rather than overflowing.
void appendDigit(int& value, char digit) {
  if (value < 1000000) value = value * 10 + (digit - '0');
}

Modifiers modifiersFrom(int parameter) {
  int bits = parameter > 1 ? parameter - 1 : 0;
  return {(bits & 1) != 0, (bits & 10) != 0, (bits & 4) != 0};
}

void add(Keys& keys, uint8_t code, bool extended,
         TerminalKey::Source source = TerminalKey::Source::keyboard, uint8_t modifiers = 0) {
  keys.push_back({code, extended, modifiers, source});
}

void addHeld(Keys& keys, uint8_t code, bool extended, Modifiers m) {
  add(keys, code, extended, TerminalKey::Source::keyboard, m.bits());
}

// Alt with a cursor or function key belongs to the desktop (Alt+F4 and the
// like), except Alt+Left and Alt+Right, which the program reads.
void addExtended(Keys& keys, ExtendedKey k, Modifiers m) {
  if (k.plain == 0) return;
  if (m.alt && !m.ctrl && k.plain != key::Left && k.plain != key::Right) return;
  uint8_t code = m.ctrl ? k.ctrl : m.shift && k.plain == key::Insert ? key::ShiftInsert : k.plain;
  addHeld(keys, code, true, m);
}

// A character reported with its modifiers (CSI u, xterm modifyOtherKeys).
void addCharacter(Keys& keys, int codePoint, Modifiers m) {
  if (codePoint == 13) {
    if (!m.alt) add(keys, m.ctrl ? key::CtrlEnter : key::Enter, false);
  } else if (codePoint == 8 || codePoint == 127) {
    if (!m.alt) add(keys, m.ctrl ? key::CtrlBackspace : key::Backspace, false);
  } else if (codePoint == 9 || codePoint == 27) {
    add(keys, static_cast<uint8_t>(codePoint), false);
  } else if (codePoint > 0 && codePoint < 128 && m.alt) {
    if (uint8_t alt = altKeyCode(static_cast<uint8_t>(codePoint))) addHeld(keys, alt, true, m);
  } else if (m.ctrl) {
    if ((codePoint | 0x20) >= 'a' && (codePoint | 0x20) <= 'z')
      add(keys, static_cast<uint8_t>(codePoint & 0x1F), false);
  } else if (codePoint >= 32 && codePoint < 0x110000) {
    std::string utf8;
    char32_t cp = static_cast<char32_t>(codePoint);
    if (cp < 0x80) {
      utf8 += static_cast<char>(cp);
    } else if (cp < 0x800) {
      utf8 += static_cast<char>(0xC0 | (cp >> 6));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (cp >> 12));
      utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    }
    std::string byte = utf8ToCp1252(utf8);
    if (byte.size() == 1 && (byte != "?" || cp == '?')) add(keys, static_cast<uint8_t>(byte[0]), false);
  }
}

// A mouse button report: bit 32 motion, bits 4, 8, 16 modifiers, 64 wheel.
void addMouse(Keys& keys, int button) {
  if (button & 32) return;
  auto mouse = TerminalKey::Source::mouse;
  switch (button & ~(4 | 8 | 16)) {
    case 0: add(keys, key::Enter, false, mouse); break;
    case 1: add(keys, key::F9, true, mouse); break;
    case 2: add(keys, key::Esc, false, mouse); break;
    case 64: add(keys, key::Up, true, mouse); break;
    case 65: add(keys, key::Down, true, mouse); break;
    default: break;
  }
}

ExtendedKey tildeKey(int number) {
  switch (number) {
    case 1: case 7: return kHome;
    case 2: return kInsert;
    case 3: return kDelete;
    case 4: case 8: return kEnd;
    case 5: return kPageUp;
    case 6: return kPageDown;
    case 11: case 12: case 13: case 14: case 15: return kFunctionKeys[number - 11];
    case 17: case 18: case 19: case 20: case 21: return kFunctionKeys[number - 12];
    case 23: case 24: return kFunctionKeys[number - 13];
    default: return kNoKey;
  }
}

ExtendedKey letterKey(char final) {
  switch (final) {
    case 'A': return kUp;
    case 'B': return kDown;
    case 'C': return kRight;
    case 'D': return kLeft;
    case 'H': return kHome;
    case 'F': return kEnd;
    case 'P': case 'Q': case 'R': case 'S': return kFunctionKeys[final - 'P'];
    default: return kNoKey;
  }
}

struct Sequence {
  char prefix = 0;              // private marker: < = > ?
  std::array<int, 4> params{};  // missing ones read 0
  int count = 0;
  char final = 0;
  // Sub-parameters of the kitty keyboard protocol: the shifted key after
  // the key's code, the event (1 press, 2 repeat, 3 release) after the
  // modifiers.
  int shifted = 0;
  int event = 0;
};

// The letter or space of a key's code, for the braille keyboard.
char keyLetter(int code) {
  if (code == ' ') return ' ';
  if (code >= 'a' && code <= 'z') return static_cast<char>(code - 'a' + 'A');
  return 0;
}

// A key reported with the kitty keyboard protocol: releases carry only the
// key's letter; presses type the shifted character when Shift is held.
void addProtocolKey(const Sequence& s, Keys& keys) {
  Modifiers m = modifiersFrom(s.params[1]);
  TerminalKey k;
  k.letter = keyLetter(s.params[0]);
  if (s.event == 3) {
    k.released = true;
    k.modifiers = m.bits();
    keys.push_back(k);
    return;
  }
  size_t before = keys.size();
  addCharacter(keys, m.shift && s.shifted > 0 ? s.shifted : s.params[0], m);
  if (keys.size() > before) keys.back().letter = k.letter;
}

void interpretCsi(const Sequence& s, Keys& keys) {
  if (s.prefix == '<') {
    if (s.final == 'M') addMouse(keys, s.params[0]);
    return;
  }
  if (s.prefix == '?' && s.final == 'u') {
    add(keys, 0, false, TerminalKey::Source::keyReleases);
    return;
  }
  if (s.prefix != 0) return;
  if (s.event == 3 && s.final != 'u') return;   // a released function key
  if ((s.final == 'I' || s.final == 'O') && s.count == 0) {
    add(keys, 0, false,
        s.final == 'I' ? TerminalKey::Source::focusIn : TerminalKey::Source::focusOut);
  } else if (s.final == 'Z') {
    add(keys, key::Tab, false);
  } else if (s.final == 'u') {
    addProtocolKey(s, keys);
  } else if (s.final == '~' && s.params[0] == 27) {
    addCharacter(keys, s.params[2], modifiersFrom(s.params[1]));
  } else if (s.final == '~') {
    addExtended(keys, tildeKey(s.params[0]), modifiersFrom(s.params[1]));
  } else if (s.final == '^' || s.final == '$' || s.final == '@') {   // rxvt
    addExtended(keys, tildeKey(s.params[0]), {s.final != '^', false, s.final != '$'});
  } else {
    addExtended(keys, letterKey(s.final), modifiersFrom(s.params[1]));
  }
}

// ESC [ M b x y: the old mouse report, three bytes offset by 32.
size_t decodeX10Mouse(std::string_view b, bool idle, Keys& keys) {
  if (b.size() < 6) return idle ? b.size() : 0;
  int button = static_cast<uint8_t>(b[3]) - 32;
  if ((button & 3) != 3 || (button & 64)) addMouse(keys, button);
  return 6;
}

// b starts with ESC [.
size_t decodeCsi(std::string_view b, bool idle, Keys& keys) {
  if (b.size() > 2 && b[2] == '[') {   // Linux console F1-F5: ESC [ [ A ... E
    if (b.size() < 4) return idle ? b.size() : 0;
    if (b[3] >= 'A' && b[3] <= 'E') addExtended(keys, kFunctionKeys[b[3] - 'A'], {});
    return 4;
  }
  if (b.size() > 2 && b[2] == 'M') return decodeX10Mouse(b, idle, keys);
  Sequence s;
  size_t index = 0;
  int subParameter = 0;   // 0 outside a sub-parameter, else its number
  for (size_t i = 2; i < b.size(); ++i) {
    auto c = static_cast<uint8_t>(b[i]);
    if (c < 0x20 || c > 0x7E) return i;   // broken: drop it
    if ((c >= 0x40 && c <= 0x7E) || c == '$') {
      s.final = static_cast<char>(c);
      interpretCsi(s, keys);
      return i + 1;
    }
    if (i == 2 && (c == '<' || c == '=' || c == '>' || c == '?')) {
      s.prefix = static_cast<char>(c);
    } else if (c == ';') {
      index = std::min(index + 1, s.params.size() - 1);
      s.count = static_cast<int>(index) + 1;
      subParameter = 0;
    } else if (c == ':') {
      ++subParameter;
    } else if (c >= '0' && c <= '9' && subParameter == 0) {
      appendDigit(s.params[index], static_cast<char>(c));
      s.count = static_cast<int>(index) + 1;
    } else if (c >= '0' && c <= '9' && subParameter == 1 && index <= 1) {
      appendDigit(index == 0 ? s.shifted : s.event, static_cast<char>(c));
    }
  }
  return idle ? b.size() : 0;
}

// b starts with ESC O: F1-F4 and cursor keys in application mode.
size_t decodeSs3(std::string_view b, bool idle, Keys& keys) {
  size_t i = 2;
  int modifier = 0;
  while (i < b.size() && b[i] >= '0' && b[i] <= '9') appendDigit(modifier, b[i++]);
  if (i >= b.size()) {
    if (!idle) return 0;
    if (i == 2) add(keys, altKeyCode('O'), true);   // Alt+O typed alone
    return b.size();
  }
  if (b[i] == 'M')
    add(keys, key::Enter, false);
  else
    addExtended(keys, letterKey(b[i]), modifiersFrom(modifier));
  return i + 1;
}

// Length of the UTF-8 sequence that the lead byte announces, 0 when the byte
// cannot start one.
size_t utf8Length(uint8_t lead) {
  return (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
}

bool continuationBytes(std::string_view b, size_t length) {
  for (size_t k = 1; k < length; ++k)
    if ((static_cast<uint8_t>(b[k]) & 0xC0) != 0x80) return false;
  return true;
}

// A character typed: ASCII, UTF-8, or a Windows-1252 byte from a terminal
// that does not speak UTF-8.
size_t decodeCharacter(std::string_view b, bool idle, Keys& keys) {
  auto c = static_cast<uint8_t>(b[0]);
  if (c == 127) {
    add(keys, key::Backspace, false);
  } else if (c == 8) {
    add(keys, key::CtrlBackspace, false);
  } else if (c != 0 && c < 0x80) {
    add(keys, c, false);
  } else if (c >= 0x80) {
    size_t length = utf8Length(c);
    if (length > 0 && b.size() < length && !idle) return 0;
    if (length == 0 || b.size() < length || !continuationBytes(b, length)) {
      add(keys, c, false);
      return 1;
    }
    std::string byte = utf8ToCp1252(b.substr(0, length));
    if (byte != "?") add(keys, static_cast<uint8_t>(byte[0]), false);
    return length;
  }
  return 1;
}

// b starts with ESC.
size_t decodeEscape(std::string_view b, bool idle, Keys& keys) {
  if (b.size() == 1) {
    if (!idle) return 0;
    add(keys, key::Esc, false);
    return 1;
  }
  auto next = static_cast<uint8_t>(b[1]);
  if (next == '[') return decodeCsi(b, idle, keys);
  if (next == 'O') return decodeSs3(b, idle, keys);
  if (next == kEsc) {
    add(keys, key::Esc, false);
    return 1;
  }
  if (uint8_t alt = altKeyCode(next)) {
    add(keys, alt, true, TerminalKey::Source::keyboard, keymod::alt);
  } else if (next >= 1 && next <= 26 && next != 8 && next != 9 && next != 13) {
    add(keys, altKeyCode(static_cast<uint8_t>('A' + next - 1)), true);   // Ctrl+Alt+letter
  } else if (next >= 0x80) {   // Alt with a non-ASCII character: nothing
    size_t length = utf8Length(next);
    if (length > 0 && b.size() < 1 + length && !idle) return 0;
    return std::min(b.size(), 1 + std::max<size_t>(length, 1));
  }
  return 2;
}

}  // namespace

size_t decodeTerminalInput(std::string_view bytes, bool idle, std::vector<TerminalKey>& keys) {
  size_t used = 0;
  while (used < bytes.size()) {
    std::string_view rest = bytes.substr(used);
    size_t n = static_cast<uint8_t>(rest[0]) == kEsc ? decodeEscape(rest, idle, keys)
                                                     : decodeCharacter(rest, idle, keys);
    if (n == 0) break;
    used += n;
  }
  return used;
}

}  // namespace varlo
