// Screen review: a second cursor that walks the 80 x 25 screen without
// changing it and reads characters, words, fields, lines or the whole screen
// aloud. Esc leaves it and puts the text cursor back where it was.
#pragma once

#include "widgets/field_editor_input.h"

namespace varlo {

void reviewScreen();

// Ctrl+Shift+F9 (or Alt+Ctrl+F9, where the system lets it through), the key
// that opens the review from editors, menus, forms and lists.
bool isReviewKey(const KeyPress& k);

}  // namespace varlo
