// Links between the screen review's own files: the review cursor and the
// stages that read, move and ask.
#pragma once

#include <string>

#include "widgets/field_editor_input.h"
#include "widgets/screen_review_rules.h"

namespace varlo {

struct ReviewState {
  int row = 1, column = 1;               // the review cursor; column 81 at a line end
  int savedColumn = 1, savedRow = 1;     // the text cursor when the review began
  std::string lastSearch;                // kept from one review to the next
};
ReviewState& reviewState();

// Reading aloud from the review cursor.
void readWordAtCursor(int lastColumn);
void readRange(const ReadingRange& range);
void goToLineEnd();

// One key of the review; false for Esc, which leaves.
bool handleReviewKey(const KeyPress& k);

// The spoken questions of F5 and F6; false when the user cancelled.
bool askSearchText(std::string& text);
bool askPosition(int& row, int& column);

// The low-vision magnifier's band, fed with the reviewed row.
void magnifyRow(int row, int column);
void clearMagnifier();

}  // namespace varlo
