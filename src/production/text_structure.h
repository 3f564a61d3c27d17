// The structure of a plain text, found as its lines are read: headings
// ("CAPÍTULO 3", "Parte II", Markdown "#" lines, a short line in capitals
// alone between blank lines), page breaks (form feeds) and the ordinary
// lines between them, whose blank lines end paragraphs.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace varlo {

enum class LineRole { ordinary, heading, pageBreak };

// A line handed out with what it is.
struct StructuredLine {
  std::string text;     // a heading without its Markdown marks; "" for a page break
  LineRole role = LineRole::ordinary;
  int rank = 0;         // of a heading: 1 the highest (a part, "#"), larger below it
};

// The next line of a text (Windows-1252); false at its end.
using RawLineSource = std::function<bool(std::string& line)>;

// Reads a text one line ahead of what it hands out, since a line in
// capitals is a heading only when a blank line follows it.
struct TextStructure {
  RawLineSource source;
  std::deque<std::string> pieces;   // read and not yet handed out; "\f" a page break
  bool blankBefore = true;          // the piece handed out last was blank (or none was)
};

void openTextStructure(TextStructure& text, RawLineSource source);
// The next line; false at the end of the text. A form feed inside a line
// becomes a page break before the rest of the line.
bool nextStructuredLine(TextStructure& text, StructuredLine& line);

// The heading rank of a line read on its own (0: not a heading), and the
// heading's text. `alone`: blank lines (or the text's ends) are on both
// sides of it, which a line in capitals needs to be a heading.
int headingRank(std::string_view line, bool alone, std::string& text);

}  // namespace varlo
