// Division of a long text into numbered part files (".PAR"): the pure text
// work, lines in and parts out, kept apart from the dialog that asks for the
// file and the rule (division_dialog.h) so that it can be tested alone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlo {

// More parts than this end the program: the part number has three digits.
constexpr int kMaxParts = 999;

// Where a part ends: at every line equal to the mark (both trimmed), or after
// linesPerPart text lines.
struct DivisionRule {
  bool byMark = false;
  std::string mark;
  int linesPerPart = 100;
};

// The voice marker written at the top of every part by Ctrl+D.
struct VoiceMarker {
  int type = 0, voice = 0, speed = 0, pitch = 0;
};

// What surrounds the text lines of every part.
struct PartLayout {
  std::string title;        // the text's file name without its extension
  bool writeHeader = true;  // title + " " + n at the top
  bool withEffect = false;  // "#SOM#" at the top
  bool alternateVoices = false;
  VoiceMarker voice;        // with alternateVoices: "#SAPI#t,n,v,p" at the top
                            // and "#SOM#" at the end
};

// Cutting a text into parts a line at a time, so that a book of any size is
// divided without being held: each line is told what it does.
struct PartCutter {
  DivisionRule rule;   // its mark trimmed
  bool partOpen = false;
  size_t linesInPart = 0;
  int parts = 0;       // parts opened so far
};
struct LineStep {
  bool closesPart = false;   // the part open so far ends before this line
  bool opensPart = false;    // a new part starts with this line
  bool kept = false;         // the line goes into the part (a mark does not)
  bool closesAfter = false;  // the part ends with this line (a mark)
};
PartCutter startCutting(const DivisionRule& rule);
LineStep cutterStep(PartCutter& cutter, std::string_view line);
// After the last line: true when a part is still open and ends here.
bool endCutting(PartCutter& cutter);

// Cut the text lines into the bodies of the parts. The line that holds the
// mark is dropped, and a text that ends with the mark gives no empty part.
std::vector<std::vector<std::string>> splitText(const std::vector<std::string>& lines,
                                                const DivisionRule& rule);

// The lines before and after the body of part number n.
std::vector<std::string> partHead(const PartLayout& layout, int n);
std::vector<std::string> partTail(const PartLayout& layout, int n);
// The complete lines of part number n around its body.
std::vector<std::string> partLines(const PartLayout& layout, int n,
                                   const std::vector<std::string>& body);

// "#SAPI#5,2,0,0".
std::string voiceMarkerLine(const VoiceMarker& voice);

// The file name without its extension.
std::string divisionTitle(std::string_view fileName);
// The first five characters of the title, trimmed, followed by "_" (a
// short name gives a short prefix).
std::string partPrefix(std::string_view fileName);
// prefix + "001" + ".PAR".
std::string partFileName(std::string_view prefix, int n);

}  // namespace varlo
