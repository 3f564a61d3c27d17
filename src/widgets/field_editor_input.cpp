// Reading one whole key with the modifiers held with it.
#include "widgets/field_editor_input.h"

#include "console/console.h"

namespace varlo {

namespace {
ModifierSource modifierSource = keyModifiers;
}

void setModifierSource(ModifierSource source) { modifierSource = source; }

uint8_t heldModifiers() { return modifierSource ? modifierSource() : 0; }

KeyPress readKeyPress() {
  KeyPress k;
  k.byte = readKey();
  if (k.byte == 0) k.code = readKey();
  uint8_t held = heldModifiers();
  k.shift = held & keymod::shift;
  k.alt = held & keymod::alt;
  return k;
}

}  // namespace varlo
