// The marking list: a scrolling list of texts in a fixed rectangle whose
// current entry is said as it becomes current, and in which entries are
// marked with space, "+", "-", "*", "/" and Shift with the movement keys.
// It returns the current index and the key that ended it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace varlo {

constexpr int kMaxListEntries = 60001;

// The rectangle, 1-based screen coordinates (cut to the screen).
void openList(int left, int top, int right, int bottom);
void closeList();
// Append an entry shown and spoken as text; false when the list is full.
bool addListEntry(std::string_view text);
int listCount();

struct ListEntry {
  std::string text;   // the shown text
  uint8_t mark = 0;
};
// Entry index (1-based); "" and 0 outside the list.
ListEntry listEntry(int index);

// Called before an entry is drawn with its index (1-based), shown text,
// spoken text and mark, which it may change.
using ListRefresh =
    std::function<void(int index, std::string& shown, std::string& spoken, uint8_t& mark)>;
void setListRefresh(ListRefresh refresh);
// Columns from ... to (1-based within the row, 0 = none) drawn in colour.
void setListHighlight(int from, int to, int colour);

struct ListResult {
  int index = 0;          // 1-based; 0 before the first entry, count + 1 after the last
  uint8_t key = 0;        // the key byte that ended the list (0 for an extended key)
  uint8_t extended = 0;   // the extended code, 0 for a character key
  bool inside = false;    // the index designates an entry
};
// Run the list from entry firstIndex (1-based), saying it when speakFirst.
ListResult runList(int firstIndex, bool speakFirst);

}  // namespace varlo
