// The braille keyboard: chords of F D S J K L and Space, the cell table, the
// capital and number signs of mode 2, and the tones that say the mode.
#include "console/braille_keyboard.h"

#include <array>

#include "console/console.h"

namespace varlo {

namespace {

// Index: dot bits (dot 1 = 1 ... dot 6 = 32); Windows-1252 characters.
constexpr std::array<uint8_t, 64> kCells = {
    32,  97,  44,  98,  39,  107, 59,  108, 94,  99,  105, 102, 237, 109, 115, 112,
    126, 101, 58,  104, 42,  111, 33,  114, 172, 100, 106, 103, 227, 110, 116, 113,
    253, 226, 63,  234, 45,  117, 34,  118, 123, 238, 245, 224, 243, 120, 232, 231,
    36,  251, 255, 252, 125, 122, 61,  225, 95,  244, 119, 239, 35,  121, 250, 233};

constexpr uint8_t kNumberSign = '#';
constexpr uint8_t kCapitalSign = '{';
constexpr uint8_t kNumberEnd = '~';

struct Keyboard {
  int mode = 0;
  uint8_t chord = 0;
  uint8_t held = 0;
  BrailleSigns signs;
  void (*startTone)(int) = nullptr;
  void (*stopTone)() = nullptr;
} keyboard;

// The bit of a braille key, 0 for any other key.
uint8_t keyBit(char key) {
  switch (key) {
    case 'F': return 1;
    case 'D': return 2;
    case 'S': return 4;
    case 'J': return 8;
    case 'K': return 16;
    case 'L': return 32;
    case ' ': return kBrailleSpaceBit;
    default: return 0;
  }
}

int signTranslation(uint8_t c, BrailleSigns& signs) {
  if (c == '\'') c = '.';
  if (c == 0xFB) c = '@';   // û
  if (signs.numbers) {
    if (c >= 'a' && c <= 'i') c = static_cast<uint8_t>('1' + c - 'a');
    else if (c == 'j') c = '0';
    else if (c == kNumberEnd) signs.numbers = false;
  }
  if ((signs.capitalNext || signs.capitalsLock) && c >= 'a' && c <= 'z')
    c = static_cast<uint8_t>(c - 'a' + 'A');
  if (c == kNumberSign) {
    signs.numbers = true;
    return kNoBrailleChar;
  }
  if (c == kCapitalSign) {
    if (signs.capitalNext) signs.capitalsLock = true;
    signs.capitalNext = true;
    return kNoBrailleChar;
  }
  signs.capitalNext = false;
  return c;
}

void playTone(int frequency) {
  if (!keyboard.startTone || !keyboard.stopTone) return;
  keyboard.startTone(frequency);
  pause(200);
  keyboard.stopTone();
}

bool isLetter(char key) { return key >= 'A' && key <= 'Z'; }

}  // namespace

uint8_t brailleCellChar(uint8_t dots) { return kCells[dots & 63]; }

int translateBrailleChord(uint8_t chord, int mode, BrailleSigns& signs) {
  if (chord == kBrailleSpaceBit) return ' ';
  if (chord & kBrailleSpaceBit) {
    signs = {};
    // A control code of 0 would read as the first byte of an extended key
    // and swallow the next key typed.
    int control = brailleCellChar(chord) & 31;
    return control == 0 ? kNoBrailleChar : control;
  }
  uint8_t c = brailleCellChar(chord);
  return mode == 2 ? signTranslation(c, signs) : c;
}

void setBrailleToneHooks(void (*start)(int), void (*stop)()) {
  keyboard.startTone = start;
  keyboard.stopTone = stop;
}

void setBrailleMode(int mode) {
  if (mode < 0) mode = 0;
  if (mode > 2) mode = 1;
  int before = keyboard.mode;
  keyboard.mode = mode;
  if (mode == 0) {
    keyboard.chord = keyboard.held = 0;
    keyboard.signs = {};
    if (before != 0) playTone(100);
    return;
  }
  playTone(800);
  playTone(mode == 1 ? 1600 : 400);
}

int brailleMode() { return keyboard.mode; }

bool brailleKeyDown(char key, bool ctrl) {
  uint8_t bit = keyBit(key);
  if (ctrl || bit == 0) return false;
  keyboard.chord |= bit;
  keyboard.held |= bit;
  return true;
}

bool brailleKeyUp(char key, bool ctrl) {
  if (ctrl || !(key == ' ' || isLetter(key))) {
    keyboard.signs = {};
    return false;
  }
  keyboard.held &= static_cast<uint8_t>(~keyBit(key));
  if (keyboard.held != 0) return true;
  int typed = translateBrailleChord(keyboard.chord, keyboard.mode, keyboard.signs);
  keyboard.chord = 0;
  if (typed != kNoBrailleChar) pushKey(static_cast<uint8_t>(typed));
  return true;
}

}  // namespace varlo
