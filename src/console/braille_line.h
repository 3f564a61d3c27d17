// The braille line: which row of the grid a braille display shows (the focus
// row) and what its routing keys do. The display driver lives in a higher
// layer and registers itself here with a record of operations.
#pragma once

#include <string_view>

namespace varlo {

struct BrailleDisplay {
  // Show a whole grid row (kColumns bytes, Windows-1252) with the cursor in
  // the 0-based column given, -1 for none.
  void (*show)(std::string_view row, int cursorColumn);
  // Connect or let go, read the display's keys; called on every pump.
  void (*poll)();
};
void setBrailleDisplay(const BrailleDisplay* display);

// The row the display follows and the cell marked in it, 0-based absolute:
// the console cursor's, which the field editor, the menus, the lists and
// screen review all place on what they are at.
struct BrailleFocus { int column, row; };
BrailleFocus brailleFocus();

// Send the focus row when it or the cursor changed since it was last sent;
// run on every pump.
void updateBrailleLine();

// A routing key pressed above the 0-based grid column given (in the focus
// row). A reader that places a cursor (the field editor, screen review)
// accepts routing and then gets the extended key key::Routing, whose column
// routedColumn tells; everywhere else the key acts as a click (Enter).
void routeToColumn(int column);
// Returns the previous setting, for the reader to give back.
bool acceptRouting(bool accepted);
int routedColumn();

}  // namespace varlo
