// The reviewed row for the low-vision magnifier: the row's text without its
// leading spaces, the character under the review cursor highlighted.
#include "console/console.h"
#include "console/magnifier.h"
#include "widgets/screen_review_state.h"

namespace varlo {

void magnifyRow(int row, int column) {
  if (!magnifierOn()) return;
  std::string text;
  for (int c = 1; c <= kColumns; ++c) text += static_cast<char>(screenChar(c, row));
  size_t lead = text.find_first_not_of(' ');
  if (lead == std::string::npos) lead = text.size();
  // One past the reviewed character's place in the trimmed text; 1 (nothing
  // highlighted) while the cursor is on the leading spaces.
  int k = column - static_cast<int>(lead) + 1;
  showMagnified(std::string_view(text).substr(lead), k < 2 ? 1 : k, row);
}

void clearMagnifier() { clearMagnified(); }

}  // namespace varlo
