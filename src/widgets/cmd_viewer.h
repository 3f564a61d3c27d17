// The text viewer of the help: lines shown in the console and read one by
// one with speech until the user leaves with Esc.
//
// Keys: Up and Down read the previous and next line; Page Up and Page Down
// move a screenful; Home and End (also with Ctrl) go to the first and last
// line; Enter reads from the current line on until a key is pressed; the
// space bar repeats the line; F1 says the keys; Esc leaves. The screen is
// put back as it was afterwards. A silent viewer says nothing (a script that
// silenced its speech).
//
// A text with headings also takes H (next heading) and Shift+H (previous),
// as screen readers do, and Ctrl+Down and Ctrl+Up; with an external reader
// offered, N leaves asking for it.
#pragma once

#include <string>
#include <vector>

namespace varlo {

struct ViewerOptions {
  bool silent = false;
  std::vector<int> headings;      // line indices, in order
  bool offersExternal = false;
};

// True when the user left with N for the external reader.
bool viewText(const std::vector<std::string>& lines, const ViewerOptions& options);

}  // namespace varlo
