// Six-key braille typing: F D S J K L are dots 1 to 6 and Space is the space
// key; a chord of keys pressed together and released types one cell. Mode 1
// types the cell's character, mode 2 also reads the capital and number signs.
#pragma once

#include <cstdint>

namespace varlo {

// The chord bits: dot 1 = 1 ... dot 6 = 32, Space = 64.
constexpr uint8_t kBrailleSpaceBit = 64;
// What a chord gives when it types nothing (a sign).
constexpr int kNoBrailleChar = 254;

// Mode 2's signs, kept between chords.
struct BrailleSigns {
  bool capitalNext = false;
  bool capitalsLock = false;
  bool numbers = false;
};

// The Windows-1252 character of a cell (dot bits 0-63).
uint8_t brailleCellChar(uint8_t dots);
// The byte a released chord types in the mode given (1 or 2), or
// kNoBrailleChar; the signs are read and updated.
int translateBrailleChord(uint8_t chord, int mode, BrailleSigns& signs);

// The keyboard's mode: 0 off, 1 and 2 on (values above 2 become 1). Setting
// it plays the mode's tones through the hooks the sound layer installs.
void setBrailleMode(int mode);
int brailleMode();
void setBrailleToneHooks(void (*start)(int frequency), void (*stop)());
// Key-down of a key (its upper-case letter or ' '): true when it is one of
// the seven braille keys and was taken as a dot.
bool brailleKeyDown(char key, bool ctrl);
// Key-up: true when handled (Space or a letter without Ctrl); a chord whose
// keys are all released types its character into the key queue.
bool brailleKeyUp(char key, bool ctrl);

}  // namespace varlo
