// The keyboard of the active window through XTest: key chords (a key with
// modifiers) and typed text.
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "platform/desktop.h"
#include "platform/x11_session.h"

namespace varlo {

namespace {

constexpr useconds_t kKeyDelayUs = 12000;
// Clients read a changed keyboard map a little after it changes, and may
// still translate typed keys after the typing ends.
constexpr useconds_t kKeymapSettleUs = 60000;
constexpr useconds_t kKeymapKeepUs = 250000;

// Every character or key is a keysym pressed with its modifiers. Keysyms
// the keyboard map lacks (accented capitals, symbols) are bound for the
// time of the typing to keycodes nobody uses, each to its own, and the map is
// put back afterwards; a batch at a time when spare keycodes are few.
struct Chord {
  std::vector<KeySym> modifiers;
  KeySym key = NoSymbol;
};

KeySym keysymOf(char32_t code) {
  if (code == '\n') return XK_Return;
  if (code == '\t') return XK_Tab;
  if (code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0)) return NoSymbol;
  return code < 0x100 ? KeySym(code) : KeySym(0x1000000 | code);
}

std::vector<Chord> chordsOf(std::string_view utf8) {
  std::vector<Chord> keys;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char lead = static_cast<unsigned char>(utf8[i]);
    int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (int k = 1; k < length && i + size_t(k) < utf8.size(); ++k)
      code = (code << 6) | (static_cast<unsigned char>(utf8[i + size_t(k)]) & 0x3F);
    i += size_t(length);
    if (KeySym key = keysymOf(code); key != NoSymbol) keys.push_back({{}, key});
  }
  return keys;
}

struct KeyStroke {
  KeyCode code = 0;
  bool shifted = false;
};

struct Keymap {
  int first = 0, count = 0, perCode = 0;
  std::vector<KeySym> symbols;   // count * perCode
  KeySym at(int code, int level) const { return symbols[size_t((code - first) * perCode + level)]; }
};

Keymap readKeymap() {
  Keymap map;
  int last = 0;
  XDisplayKeycodes(x11.display, &map.first, &last);
  map.count = last - map.first + 1;
  KeySym* symbols = XGetKeyboardMapping(x11.display, KeyCode(map.first), map.count, &map.perCode);
  if (symbols) {
    map.symbols.assign(symbols, symbols + map.count * map.perCode);
    XFree(symbols);
  }
  if (map.perCode < 2) map.symbols.clear();
  return map;
}

std::optional<KeyStroke> strokeFor(const Keymap& map, KeySym key) {
  if (map.symbols.empty()) return std::nullopt;
  for (int code = map.first; code < map.first + map.count; ++code) {
    for (int level = 0; level < 2; ++level) {
      if (map.at(code, level) == key) return KeyStroke{KeyCode(code), level == 1};
    }
  }
  return std::nullopt;
}

std::vector<KeyCode> spareKeycodes(const Keymap& map) {
  std::vector<KeyCode> spare;
  for (int code = map.first + map.count - 1; code >= map.first && !map.symbols.empty(); --code) {
    bool empty = true;
    for (int level = 0; level < map.perCode && empty; ++level) empty = map.at(code, level) == NoSymbol;
    if (empty) spare.push_back(KeyCode(code));
  }
  return spare;
}

void bindKeycode(KeyCode code, KeySym key) {
  KeySym both[2] = {key, key};
  XChangeKeyboardMapping(x11.display, code, 2, both, 1);
}

// Modifiers down in order, the key, modifiers up in reverse; Shift added
// when the key's keysym sits on the shifted level.
void strike(const KeyStroke& stroke, const std::vector<KeySym>& modifiers) {
  std::vector<KeyCode> held;
  for (KeySym modifier : modifiers) held.push_back(XKeysymToKeycode(x11.display, modifier));
  KeyCode shift = XKeysymToKeycode(x11.display, XK_Shift_L);
  if (stroke.shifted && std::find(held.begin(), held.end(), shift) == held.end()) held.push_back(shift);
  for (KeyCode code : held) {
    if (code) XTestFakeKeyEvent(x11.display, code, True, CurrentTime);
  }
  XTestFakeKeyEvent(x11.display, stroke.code, True, CurrentTime);
  XTestFakeKeyEvent(x11.display, stroke.code, False, CurrentTime);
  for (auto code = held.rbegin(); code != held.rend(); ++code) {
    if (*code) XTestFakeKeyEvent(x11.display, *code, False, CurrentTime);
  }
  XSync(x11.display, False);
  ++x11.progress;
  usleep(kKeyDelayUs);
}

// Types keys[from ...] until a key needs a binding for which no spare
// keycode is left; answers where it stopped.
size_t typeBatch(const std::vector<Chord>& keys, size_t from) {
  Keymap map = readKeymap();
  std::vector<KeyCode> spare = spareKeycodes(map);
  std::vector<std::pair<KeySym, KeyCode>> bound;
  std::vector<KeyStroke> strokes;
  size_t end = from;
  for (; end < keys.size(); ++end) {
    KeySym wanted = keys[end].key;
    std::optional<KeyStroke> stroke = strokeFor(map, wanted);
    for (const auto& [key, code] : bound) {
      if (!stroke && key == wanted) stroke = KeyStroke{code, false};
    }
    if (!stroke && !spare.empty()) {
      stroke = KeyStroke{spare.back(), false};
      bound.emplace_back(wanted, spare.back());
      bindKeycode(spare.back(), wanted);
      spare.pop_back();
    }
    if (!stroke) break;
    strokes.push_back(*stroke);
  }
  if (!bound.empty()) {
    XSync(x11.display, False);
    usleep(kKeymapSettleUs);
  }
  for (size_t i = 0; i < strokes.size() && !x11.ioFailed; ++i) strike(strokes[i], keys[from + i].modifiers);
  if (!bound.empty()) {
    usleep(kKeymapKeepUs);
    for (const auto& [key, code] : bound) bindKeycode(code, NoSymbol);
    XSync(x11.display, False);
  }
  return end == from ? keys.size() : end;   // nothing typable: give up
}

// "ctrl+shift+F5" (keySequenceFor) as a chord; none when a name is unknown.
std::optional<Chord> chordOf(const std::string& sequence) {
  constexpr struct {
    const char* name;
    KeySym keysym;
  } kModifiers[] = {{"ctrl", XK_Control_L}, {"shift", XK_Shift_L}, {"alt", XK_Alt_L}};
  Chord chord;
  size_t start = 0;
  for (size_t plus; (plus = sequence.find('+', start)) != std::string::npos; start = plus + 1) {
    std::string word = sequence.substr(start, plus - start);
    auto modifier = std::find_if(std::begin(kModifiers), std::end(kModifiers),
                                 [&](const auto& m) { return word == m.name; });
    if (modifier == std::end(kModifiers)) return std::nullopt;
    chord.modifiers.push_back(modifier->keysym);
  }
  chord.key = XStringToKeysym(sequence.substr(start).c_str());
  if (chord.key == NoSymbol) return std::nullopt;
  return chord;
}

// Plays the chords, a batch at a time.
bool play(const std::vector<Chord>& keys) {
  X11Session session;
  int event = 0, error = 0, major = 0, minor = 0;
  if (!session.ok() || !XTestQueryExtension(x11.display, &event, &error, &major, &minor)) return false;
  for (size_t done = 0; done < keys.size() && session.ok();) done = typeBatch(keys, done);
  return session.ok() && x11.protocolErrors == 0;
}

}  // namespace

bool pressKeys(const std::string& sequence) {
  std::optional<Chord> chord = chordOf(sequence);
  return chord && play({*chord});
}

bool typeText(std::string_view utf8) { return play(chordsOf(utf8)); }

}  // namespace varlo
