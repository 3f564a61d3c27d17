// Parsing of phoneme lines and their splitting out of written text.
#include "engines/synth_parse.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace varlo {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::vector<std::string_view> tokens(std::string_view line) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) ++i;
    size_t start = i;
    while (i < line.size() && !isBlank(line[i])) ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

bool number(std::string_view text, double& out) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(out);
}

PhoneLine bad(std::string why) {
  PhoneLine line;
  line.kind = LineKind::Bad;
  line.why = std::move(why);
  return line;
}

}  // namespace

PhoneLine parsePhoneLine(std::string_view text) {
  text = text.substr(0, text.find(';'));
  auto tok = tokens(text);
  PhoneLine line;
  if (tok.empty()) return line;
  if (tok[0] == "#") {
    line.kind = LineKind::Flush;
    return line;
  }
  if (tok.size() < 2) return bad("no duration in '" + std::string(text) + "'");
  if (tok.size() % 2 != 0) return bad("position without pitch in '" + std::string(text) + "'");
  if (!number(tok[1], line.ms)) return bad("bad duration '" + std::string(tok[1]) + "'");
  line.ms = std::clamp(line.ms, 0.0, kMaxPhoneMs);
  for (size_t i = 2; i + 1 < tok.size(); i += 2) {
    double pos = 0, hz = 0;
    if (!number(tok[i], pos) || !number(tok[i + 1], hz))
      return bad("bad pitch point '" + std::string(tok[i]) + " " + std::string(tok[i + 1]) + "'");
    if (hz <= 0 || line.points.size() == kMaxPitchPoints) continue;
    line.points.push_back({static_cast<float>(std::clamp(pos, 0.0, 100.0)),
                           static_cast<float>(std::clamp<double>(hz, kMinPitchHz, kMaxPitchHz))});
  }
  std::stable_sort(line.points.begin(), line.points.end(),
                   [](const PitchPoint& a, const PitchPoint& b) { return a.percent < b.percent; });
  line.kind = LineKind::Phone;
  line.name = std::string(tok[0]);
  return line;
}

std::vector<std::string> takeLines(LineBuffer& buffer, std::string_view text, int& overlong) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view piece = text.substr(0, nl);
    if (!buffer.overlong) {
      if (buffer.partial.size() + piece.size() > kMaxLineBytes) {
        buffer.overlong = true;
        buffer.partial.clear();
        ++overlong;
      } else {
        buffer.partial.append(piece);
      }
    }
    if (nl == std::string_view::npos) break;
    if (!buffer.overlong) lines.push_back(std::move(buffer.partial));
    buffer.partial.clear();
    buffer.overlong = false;
    text.remove_prefix(nl + 1);
  }
  return lines;
}

std::string takeRest(LineBuffer& buffer) {
  std::string rest = buffer.overlong ? std::string() : std::move(buffer.partial);
  buffer.partial.clear();
  buffer.overlong = false;
  return rest;
}

}  // namespace varlo
