// The braille line: focus row selection, the row last sent to the display,
// and routing keys turned into console keys.
#include "console/braille_line.h"

#include <string>
#include <utility>

#include "console/console_core.h"

namespace varlo {

namespace {

struct BrailleLine {
  const BrailleDisplay* display = nullptr;
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
  return {absoluteCursorColumn(), absoluteCursorRow()};
}

void updateBrailleLine() {
  if (!line.display) return;
  line.display->poll();
  BrailleFocus focus = brailleFocus();
  const char* cells = reinterpret_cast<const char*>(gridCharacters()) + focus.row * kColumns;
  std::string_view row(cells, kColumns);
  if (row == line.sentRow && focus.column == line.sentCursor) return;
  line.sentRow = row;
  line.sentCursor = focus.column;
  line.display->show(row, focus.column);
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

bool acceptRouting(bool accepted) { return std::exchange(line.routingAccepted, accepted); }

int routedColumn() { return line.routed; }

}  // namespace varlo
