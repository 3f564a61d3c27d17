// Keys and mouse in the window: key-down and key-up events become the
// console's key codes or braille dots, typed text its characters, and mouse
// buttons and the wheel the keys they stand for.
#include <array>

#include "base/codepage.h"
#include "console/braille_keyboard.h"
#include "console/magnifier.h"
#include "frontends/window_state.h"

namespace varlo {

namespace {

// Bytes queued beyond which an extended key is dropped.
constexpr int kExtendedKeyRoom = 62;

struct ExtendedKeyName {
  SDL_Keycode sdl;
  uint8_t plain;
};

constexpr std::array<ExtendedKeyName, 33> kExtendedKeys = {{
    {SDLK_F1, key::F1},         {SDLK_F2, key::F2},         {SDLK_F3, key::F3},
    {SDLK_F4, key::F4},         {SDLK_F5, key::F5},         {SDLK_F6, key::F6},
    {SDLK_F7, key::F7},         {SDLK_F8, key::F8},         {SDLK_F9, key::F9},
    {SDLK_F10, key::F10},       {SDLK_F11, key::F11},       {SDLK_F12, key::F12},
    {SDLK_INSERT, key::Insert}, {SDLK_DELETE, key::Delete}, {SDLK_HOME, key::Home},
    {SDLK_END, key::End},       {SDLK_PAGEUP, key::PageUp}, {SDLK_PAGEDOWN, key::PageDown},
    {SDLK_UP, key::Up},         {SDLK_DOWN, key::Down},     {SDLK_LEFT, key::Left},
    {SDLK_RIGHT, key::Right},
    // The keypad's keys with Num Lock off.
    {SDLK_KP_0, key::Insert},   {SDLK_KP_PERIOD, key::Delete}, {SDLK_KP_7, key::Home},
    {SDLK_KP_1, key::End},      {SDLK_KP_9, key::PageUp},   {SDLK_KP_3, key::PageDown},
    {SDLK_KP_8, key::Up},       {SDLK_KP_2, key::Down},     {SDLK_KP_4, key::Left},
    {SDLK_KP_6, key::Right},    {SDLK_KP_5, 0},
}};

uint8_t modifierBits(Uint16 mod) {
  return static_cast<uint8_t>(((mod & KMOD_SHIFT) ? keymod::shift : 0) |
                              ((mod & KMOD_CTRL) ? keymod::ctrl : 0) |
                              ((mod & KMOD_LALT) ? keymod::alt : 0));
}

// The upper-case letter, digit or space of a key, 0 for any other key.
char keyCharacter(SDL_Keycode sym) {
  if (sym >= SDLK_a && sym <= SDLK_z) return static_cast<char>('A' + (sym - SDLK_a));
  if (sym >= SDLK_0 && sym <= SDLK_9) return static_cast<char>(sym);
  return sym == SDLK_SPACE ? ' ' : 0;
}

uint8_t extendedPlainCode(SDL_Keycode sym, Uint16 mod) {
  bool numLock = (mod & KMOD_NUM) != 0;
  for (const ExtendedKeyName& k : kExtendedKeys) {
    if (k.sdl != sym) continue;
    bool keypad = sym >= SDLK_KP_1 && sym <= SDLK_KP_PERIOD;
    return keypad && numLock ? 0 : k.plain;
  }
  return 0;
}

// Keys with a byte but no text: Enter, Backspace, Tab, Esc, Ctrl+letter.
int byteKey(SDL_Keycode sym, uint8_t mods) {
  bool ctrl = mods & keymod::ctrl;
  switch (sym) {
    case SDLK_RETURN: case SDLK_KP_ENTER: return ctrl ? key::CtrlEnter : key::Enter;
    case SDLK_BACKSPACE: return ctrl ? key::CtrlBackspace : key::Backspace;
    case SDLK_TAB: return key::Tab;
    case SDLK_ESCAPE: return key::Esc;
    default: break;
  }
  char c = keyCharacter(sym);
  if (ctrl && c >= 'A' && c <= 'Z') return c - 'A' + 1;
  return -1;
}

// Ctrl+Alt+F12 turns the braille keyboard off and Ctrl+Alt+F11 steps its
// mode. Most Linux desktops keep Ctrl+Alt+F-keys to switch consoles, so
// Ctrl+Shift+F11 and Ctrl+Shift+F12 do the same. True when the key was one.
bool brailleModeKey(SDL_Keycode sym, uint8_t mods) {
  bool held = (mods & keymod::ctrl) && (mods & (keymod::alt | keymod::shift));
  if (!held || (sym != SDLK_F11 && sym != SDLK_F12)) return false;
  setBrailleMode(sym == SDLK_F12 ? 0 : brailleMode() + 1);
  return true;
}

// Ctrl+Shift+plus and Ctrl+Shift+minus (on the main keys or the keypad)
// zoom the magnifier in and out; true when the key was one.
bool zoomKey(SDL_Keycode sym, uint8_t mods) {
  if ((mods & (keymod::ctrl | keymod::shift)) != (keymod::ctrl | keymod::shift)) return false;
  int step = sym == SDLK_EQUALS || sym == SDLK_PLUS || sym == SDLK_KP_PLUS     ? 1
             : sym == SDLK_MINUS || sym == SDLK_UNDERSCORE || sym == SDLK_KP_MINUS ? -1
                                                                                : 0;
  if (step != 0) changeMagnifierZoom(step);
  return step != 0;
}

// Alt held: Alt with a letter or digit gives its Alt code; true when the key
// is done. Other keys with Alt belong to the desktop, except Alt+Left and
// Alt+Right.
bool altKey(SDL_Keycode sym, uint8_t mods) {
  if (uint8_t code = altKeyCode(static_cast<uint8_t>(keyCharacter(sym)))) {
    queueKey(code, true, mods);
    return true;
  }
  return sym != SDLK_LEFT && sym != SDLK_RIGHT;
}

// The function keys by their place: with Ctrl+Alt the X keyboard map names
// them as switches to other consoles.
SDL_Keycode keyOf(const SDL_Keysym& k) {
  if (k.scancode >= SDL_SCANCODE_F1 && k.scancode <= SDL_SCANCODE_F12)
    return SDLK_F1 + (k.scancode - SDL_SCANCODE_F1);
  return k.sym;
}

}  // namespace

void handleKeyDown(const SDL_KeyboardEvent& event) {
  WindowState& w = windowState();
  SDL_Keycode sym = keyOf(event.keysym);
  uint8_t mods = modifierBits(event.keysym.mod);
  w.suppressText = (mods & (keymod::ctrl | keymod::alt)) != 0;
  if ((mods & keymod::ctrl) && (sym == SDLK_PAUSE || sym == SDLK_CANCEL)) closeConsole(0);
  if (brailleModeKey(sym, mods) || zoomKey(sym, mods)) return;
  if ((mods & keymod::alt) && altKey(sym, mods)) return;
  if (!(mods & keymod::ctrl) && brailleMode() != 0 && brailleKeyDown(keyCharacter(sym), false)) return;
  if (uint8_t plain = extendedPlainCode(sym, event.keysym.mod)) {
    if (queuedKeyCount() <= kExtendedKeyRoom) queueKey(extendedKeyCode(plain, mods), true, mods);
    return;
  }
  int byte = byteKey(sym, mods);
  if (byte >= 0) {
    queueKey(static_cast<uint8_t>(byte), false, mods);
    w.suppressText = true;
  }
}

void handleKeyUp(const SDL_KeyboardEvent& event) {
  if (brailleMode() == 0) return;
  bool ctrl = (event.keysym.mod & KMOD_CTRL) != 0;
  brailleKeyUp(keyCharacter(event.keysym.sym), ctrl);
}

// Typed characters; in the braille modes space and the letters are braille
// keys and type nothing themselves.
void handleTextInput(const char* utf8) {
  WindowState& w = windowState();
  if (w.suppressText) return;
  std::string text = utf8ToCp1252(utf8);
  for (char c : text) {
    bool brailleKey = c == ' ' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (brailleMode() != 0 && brailleKey) continue;
    queueKey(static_cast<uint8_t>(c), false, 0);
  }
}

// The click that brought the window to the front produces no key.
void handleMouseButton(const SDL_MouseButtonEvent& event) {
  WindowState& w = windowState();
  if (w.ignoreNextClick) {
    w.ignoreNextClick = false;
    return;
  }
  if (event.button == SDL_BUTTON_LEFT) queueKey(key::Enter, false);
  else if (event.button == SDL_BUTTON_RIGHT) queueKey(key::Esc, false);
  else if (event.button == SDL_BUTTON_MIDDLE) queueKey(key::F9, true);
}

void handleMouseWheel(const SDL_MouseWheelEvent& event) {
  WindowState& w = windowState();
  if (event.y == 0) return;
  if (w.ignoreNextClick) {
    w.ignoreNextClick = false;
    return;
  }
  int y = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.y : event.y;
  queueKey(y > 0 ? key::Up : key::Down, true);
}

}  // namespace varlo
