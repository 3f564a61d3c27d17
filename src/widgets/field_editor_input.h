// One whole key as the editor and the lists read it: the byte, the extended
// code that follows a 0, and whether Shift or Alt was held with it.
#pragma once

#include <cstdint>

#include "console/console.h"

namespace varlo {

struct KeyPress {
  uint8_t byte = 0;   // 0 for an extended key
  uint8_t code = 0;   // the extended code, 0 for a character key
  bool shift = false;
  bool alt = false;
  bool extended() const { return byte == 0; }
};

// Read a key (waiting for it); a 0 brings its extended code.
KeyPress readKeyPress();

// Where the modifiers held with the key just read come from (keymod bits):
// the console's key queue, unless a test installs another source.
using ModifierSource = uint8_t (*)();
void setModifierSource(ModifierSource source);
uint8_t heldModifiers();

}  // namespace varlo
