// libFuzzer target: the conversion and division text readers. The input is
// a text file's bytes; its first byte chooses the division rule (by a mark,
// the first line, or by 1 to 128 lines a part) and the part layout.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/plain_text.h"
#include "fuzz_files.h"
#include "production/conversion_text.h"
#include "production/text_division.h"
#include "production/text_lines.h"

namespace {

using varlo::fuzz::require;

void readForSpeech(const std::vector<std::string>& lines) {
  for (const std::string& line : varlo::rewrapLines(lines))
    require(line.size() < size_t(varlo::kWrapWidth), "re-wrapped lines fit the width");
  std::string pending;
  std::vector<std::string> requests;
  size_t given = 0;
  for (const std::string& line : varlo::linesForSpeech(lines)) {
    if (line.starts_with("#SAPI#")) {
      varlo::VoiceMarker marker;
      std::string rest;
      varlo::parseVoiceFields(std::string_view(line).substr(6), marker, rest);
    }
    varlo::gatherPhrases(pending, line, requests);
    given += line.size() + 2;
  }
  size_t gathered = pending.size();
  for (const std::string& r : requests) gathered += r.size();
  require(gathered == given, "gathering keeps every character");
}

void divide(const std::vector<std::string>& lines, uint8_t choice) {
  varlo::DivisionRule rule;
  rule.byMark = choice & 1;
  rule.mark = lines.empty() ? "" : lines[0];
  rule.linesPerPart = 1 + (choice >> 1);
  auto parts = varlo::splitText(lines, rule);
  if (parts.size() > size_t(varlo::kMaxParts)) return;   // the program stops there
  size_t kept = 0;
  for (const auto& body : parts) kept += body.size();
  require(kept <= lines.size(), "division invents no lines");
  if (!rule.byMark) require(kept == lines.size(), "division by count keeps every line");
  varlo::PartLayout layout;
  layout.title = varlo::divisionTitle(rule.mark);
  layout.withEffect = choice & 2;
  layout.alternateVoices = choice & 4;
  std::string prefix = varlo::partPrefix(rule.mark);
  for (size_t n = 0; n < parts.size(); ++n) {
    varlo::partLines(layout, int(n + 1), parts[n]);
    varlo::partFileName(prefix, int(n + 1));
  }
  varlo::audioNames(rule.mark);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::string_view bytes = varlo::fuzz::asText(data + 1, size - 1);
  if (varlo::looksBinary(bytes)) return 0;
  std::vector<std::string> lines = varlo::lineStrings(bytes);
  readForSpeech(lines);
  divide(lines, data[0]);
  return 0;
}
