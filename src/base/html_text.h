// A simple HTML document (such as the program's manual) as lines of text
// for reading aloud: headings, paragraphs and definition terms each begin
// a line of their own, definitions are indented, other tags are dropped and
// the common character entities decoded.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlo {

struct HtmlText {
  std::vector<std::string> lines;   // UTF-8, at most width characters each
  std::vector<int> headings;        // indices of the heading lines, in order
};

HtmlText htmlToText(std::string_view html, int width);

}  // namespace varlo
