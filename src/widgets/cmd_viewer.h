// The text viewer of the help: lines shown in the console and read one by
// one with speech until the user leaves with Esc.
//
// Keys: Up and Down read the previous and next line; Page Up and Page Down
// move a screenful; Home and End (also with Ctrl) go to the first and last
// line; Enter reads from the current line on until a key is pressed; the
// space bar repeats the line; F1 says the keys; Esc leaves. The screen is
// put back as it was afterwards. A silent viewer says nothing (a script that
// silenced its speech).
#pragma once

#include <string>
#include <vector>

namespace varlo {

void viewText(const std::vector<std::string>& lines, bool silent);

}  // namespace varlo
