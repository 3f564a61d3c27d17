// Cutting a text into numbered parts by mark or line count, the lines around
// each part and the part file names; no dialog, so it can be tested alone.
#include "production/text_division.h"

#include <cstdio>

#include "production/text_lines.h"

namespace varlo {

PartCutter startCutting(const DivisionRule& rule) {
  PartCutter cutter;
  cutter.rule = rule;
  cutter.rule.mark = std::string(trimBlanks(rule.mark));
  if (cutter.rule.linesPerPart <= 0) cutter.rule.linesPerPart = 1;
  return cutter;
}

// By mark, every line belongs to a part (opened by it if none is) and the
// mark ends that part; by count, a part is full after linesPerPart lines.
LineStep cutterStep(PartCutter& c, std::string_view line) {
  LineStep step;
  if (c.rule.byMark || !c.partOpen || c.linesInPart < size_t(c.rule.linesPerPart)) {
    step.opensPart = !c.partOpen;
  } else {
    step.closesPart = step.opensPart = true;
  }
  if (step.opensPart) {
    c.partOpen = true;
    c.linesInPart = 0;
    ++c.parts;
  }
  if (c.rule.byMark && trimBlanks(line) == c.rule.mark) {
    c.partOpen = false;   // the part ends with its mark, which it does not keep
    step.closesAfter = true;
    return step;
  }
  step.kept = true;
  ++c.linesInPart;
  return step;
}

bool endCutting(PartCutter& c) {
  bool open = c.partOpen;
  c.partOpen = false;
  return open;
}

std::vector<std::vector<std::string>> splitText(const std::vector<std::string>& lines,
                                                const DivisionRule& rule) {
  std::vector<std::vector<std::string>> parts;
  PartCutter cutter = startCutting(rule);
  for (const std::string& line : lines) {
    LineStep step = cutterStep(cutter, line);
    if (step.opensPart) parts.emplace_back();
    if (step.kept) parts.back().push_back(line);
  }
  return parts;
}

std::string voiceMarkerLine(const VoiceMarker& v) {
  return "#SAPI#" + std::to_string(v.type) + "," + std::to_string(v.voice) + "," +
         std::to_string(v.speed) + "," + std::to_string(v.pitch);
}

std::vector<std::string> partHead(const PartLayout& layout, int n) {
  std::vector<std::string> out;
  if (layout.writeHeader) out.insert(out.end(), {layout.title + " " + std::to_string(n), ""});
  if (layout.withEffect) out.insert(out.end(), {"#SOM#", ""});
  if (layout.alternateVoices) out.insert(out.end(), {voiceMarkerLine(layout.voice), ""});
  return out;
}

std::vector<std::string> partTail(const PartLayout& layout, int n) {
  std::vector<std::string> out;
  if (layout.alternateVoices) out.insert(out.end(), {"", "#SOM#"});
  out.insert(out.end(), {"", "Final da parte " + std::to_string(n)});
  return out;
}

std::vector<std::string> partLines(const PartLayout& layout, int n,
                                   const std::vector<std::string>& body) {
  std::vector<std::string> out = partHead(layout, n);
  out.insert(out.end(), body.begin(), body.end());
  std::vector<std::string> tail = partTail(layout, n);
  out.insert(out.end(), tail.begin(), tail.end());
  return out;
}

std::string divisionTitle(std::string_view fileName) {
  return withoutExtension(fileName);
}

std::string partPrefix(std::string_view fileName) {
  return std::string(trimBlanks(std::string_view(divisionTitle(fileName)).substr(0, 5))) + "_";
}

std::string partFileName(std::string_view prefix, int n) {
  char number[8];
  std::snprintf(number, sizeof number, "%03d", n);
  return std::string(prefix) + number + ".PAR";
}

}  // namespace varlo
