// The braille line: focus row selection, the row last sent to the display,
// and routing keys turned into console keys.
#include "console/braille_line.h"

#include <cstring>
#include <string>

#include "console/console_core.h"

namespace varlo {

namespace {

struct BrailleLine {
  const BrailleDisplay* display = nullptr;
  // The cell review read, and where the console cursor was then: the review
  // keeps the display while the cursor stays there.
  BrailleFocus review{-1, -1};
  BrailleFocus cursorAtReview{-1, -1};
  std::string sentRow;
  int sentCursor = -2;
  bool routingAccepted = false;
  int routed = 0;
} line;

}  // namespace

void setBrailleDisplay(const BrailleDisplay* display) {
  line.display = display;
  line.sentRow.clear();
  line.sentCursor = -2;
}

BrailleFocus brailleFocus() {
  BrailleFocus cursor{absoluteCursorColumn(), absoluteCursorRow()};
  bool reviewHolds = line.review.row >= 0 && cursor.column == line.cursorAtReview.column &&
                     cursor.row == line.cursorAtReview.row;
  return reviewHolds ? line.review : cursor;
}

void showReviewCell(int column, int row) {
  if (row < 0 || row >= kRows) return;
  line.review = {column, row};
  line.cursorAtReview = {absoluteCursorColumn(), absoluteCursorRow()};
}

void updateBrailleLine() {
  if (!line.display) return;
  line.display->poll();
  BrailleFocus focus = brailleFocus();
  const char* cells = reinterpret_cast<const char*>(gridCharacters()) + focus.row * kColumns;
  std::string_view row(cells, kColumns);
  int cursor = focus.column >= 0 && focus.column < kColumns ? focus.column : -1;
  if (row == line.sentRow && cursor == line.sentCursor) return;
  line.sentRow = row;
  line.sentCursor = cursor;
  line.display->show(row, cursor);
}

void routeToColumn(int column) {
  if (column < 0 || column >= kColumns) return;
  if (!line.routingAccepted) {
    queueKey(key::Enter, false);
    return;
  }
  line.routed = column;
  queueKey(key::Routing, true);
}

void acceptRouting(bool accepted) { line.routingAccepted = accepted; }

int routedColumn() { return line.routed; }

}  // namespace varlo
