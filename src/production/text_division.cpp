// Cutting a text into numbered parts by mark or line count, the lines around
// each part and the part file names; no dialog, so it can be tested alone.
#include "production/text_division.h"

#include <cstdio>

#include "production/text_lines.h"

namespace varlo {

namespace {

std::vector<std::vector<std::string>> splitByMark(const std::vector<std::string>& lines,
                                                  std::string_view mark) {
  std::vector<std::vector<std::string>> parts;
  std::vector<std::string> body;
  bool open = false;
  for (const std::string& line : lines) {
    open = true;
    if (trimBlanks(line) == mark) {
      parts.push_back(std::move(body));
      body.clear();
      open = false;
    } else {
      body.push_back(line);
    }
  }
  if (open) parts.push_back(std::move(body));
  return parts;
}

std::vector<std::vector<std::string>> splitByCount(const std::vector<std::string>& lines,
                                                   size_t count) {
  std::vector<std::vector<std::string>> parts;
  for (size_t first = 0; first < lines.size(); first += count) {
    size_t last = std::min(lines.size(), first + count);
    parts.emplace_back(lines.begin() + first, lines.begin() + last);
  }
  return parts;
}

}  // namespace

std::vector<std::vector<std::string>> splitText(const std::vector<std::string>& lines,
                                                const DivisionRule& rule) {
  if (rule.byMark) return splitByMark(lines, trimBlanks(rule.mark));
  return splitByCount(lines, rule.linesPerPart > 0 ? size_t(rule.linesPerPart) : 1);
}

std::string voiceMarkerLine(const VoiceMarker& v) {
  return "#SAPI#" + std::to_string(v.type) + "," + std::to_string(v.voice) + "," +
         std::to_string(v.speed) + "," + std::to_string(v.pitch);
}

std::vector<std::string> partLines(const PartLayout& layout, int n,
                                   const std::vector<std::string>& body) {
  std::string number = std::to_string(n);
  std::vector<std::string> out;
  out.reserve(body.size() + 10);
  if (layout.writeHeader) out.insert(out.end(), {layout.title + " " + number, ""});
  if (layout.withEffect) out.insert(out.end(), {"#SOM#", ""});
  if (layout.alternateVoices) out.insert(out.end(), {voiceMarkerLine(layout.voice), ""});
  out.insert(out.end(), body.begin(), body.end());
  if (layout.alternateVoices) out.insert(out.end(), {"", "#SOM#"});
  out.insert(out.end(), {"", "Final da parte " + number});
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
