// The text side of conversion: re-wrapping long lines, voice markers,
// phrase-sized speak requests and the names of a text's audio files.
#include "production/conversion_text.h"

#include <algorithm>
#include <charconv>

#include "base/codepage.h"
#include "production/text_lines.h"

namespace varlo {

namespace {

std::string expandTabs(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (char c : line) {
    if (c == '\t')
      out.append(8 - out.size() % 8, ' ');
    else
      out += c;
  }
  return out;
}

// Emit the full-width pieces of `working` and keep the remainder.
void cutParagraph(std::string& working, std::vector<std::string>& out) {
  const size_t limit = kWrapWidth - 1;
  size_t start = 0;
  while (working.size() - start > limit) {
    std::string_view window(working.data() + start, limit);
    size_t space = window.find_last_of(' ');
    if (space != std::string_view::npos && space + 1 >= kWrapWidth / 2) {
      out.emplace_back(window.substr(0, space));
      start += space + 1;
    } else {
      out.emplace_back(window);
      start += limit;
    }
  }
  working.erase(0, start);
}

bool readInteger(std::string_view text, int& value) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

bool isBoundary(std::string_view two) {
  static constexpr std::string_view kBoundaries[] = {". ", "? ", "! ", ": ", ", ", "; "};
  return std::find(std::begin(kBoundaries), std::end(kBoundaries), two) != std::end(kBoundaries);
}

std::string underscored(std::string text) {
  std::replace(text.begin(), text.end(), ' ', '_');
  return text;
}

}  // namespace

void rewrapLine(Rewrap& wrap, std::string_view raw, std::vector<std::string>& out) {
  std::string& carried = wrap.carried;
  std::string line = expandTabs(raw);
  if (line.empty() || line[0] == ' ') {
    if (!carried.empty()) out.push_back(carried);
    if (line.empty()) out.emplace_back();
    carried = std::move(line);
  } else if (carried.empty()) {
    carried = std::move(line);
  } else {
    carried += ' ';
    carried += line;
  }
  cutParagraph(carried, out);
}

void endRewrap(Rewrap& wrap, std::vector<std::string>& out) {
  if (!wrap.carried.empty()) out.push_back(std::move(wrap.carried));
  wrap.carried.clear();
}

std::vector<std::string> rewrapLines(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  Rewrap wrap;
  for (const std::string& raw : lines) rewrapLine(wrap, raw, out);
  endRewrap(wrap, out);
  return out;
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The next line of the file as the program's text: converted line by line,
// which gives what converting the whole text gives, as a line end is never
// inside a character.
bool nextTextLine(SpeechLines& text, std::string& line) {
  if (!nextLine(text.reader, line)) return false;
  if (text.firstLine && text.byteOrderMark) line.erase(0, kByteOrderMark.size());
  text.firstLine = false;
  if (text.fromUtf8) line = utf8ToCp1252(line);
  return true;
}

}  // namespace

bool openSpeechLines(SpeechLines& text, const std::string& path, bool utf8) {
  text = SpeechLines{};
  if (!openLineReader(text.reader, path)) return false;
  std::string line;
  bool first = nextLine(text.reader, line);
  text.byteOrderMark = first && line.starts_with(kByteOrderMark);
  text.fromUtf8 = text.byteOrderMark || utf8;
  closeLineReader(text.reader);
  // A first pass for the line too long to be spoken as it is.
  if (!openLineReader(text.reader, path)) return false;
  while (!text.rewrap && nextTextLine(text, line)) text.rewrap = line.size() > size_t(kWrapWidth);
  bool read = !text.reader.failed;
  closeLineReader(text.reader);
  text.firstLine = true;
  return read && openLineReader(text.reader, path);
}

bool nextSpeechLine(SpeechLines& text, std::string& line) {
  if (!text.rewrap) return nextTextLine(text, line);
  while (text.next == text.ready.size()) {
    text.ready.clear();
    text.next = 0;
    if (nextTextLine(text, line)) {
      rewrapLine(text.wrap, line, text.ready);
    } else if (!text.rawEnded) {
      text.rawEnded = true;
      endRewrap(text.wrap, text.ready);
    } else {
      return false;
    }
  }
  line = std::move(text.ready[text.next++]);
  return true;
}

void closeSpeechLines(SpeechLines& text) {
  closeLineReader(text.reader);
  text = SpeechLines{};
}

bool parseVoiceFields(std::string_view fields, VoiceMarker& marker, std::string& rest) {
  std::string_view text = fields;
  int* targets[] = {&marker.type, &marker.voice, &marker.speed, &marker.pitch};
  for (int field = 0; field < 4; ++field) {
    size_t length = field == 0 ? 1 : field == 3 ? text.size() : text.find(',');
    std::string_view value = text.substr(0, std::min(length, text.size()));
    if (field == 3) value = value.substr(0, value.find_last_not_of(" \t\r") + 1);
    bool separated = field == 3 || (length < text.size() && text[length] == ',');
    if (!separated || !readInteger(value, *targets[field])) {
      rest = std::string(text);
      return false;
    }
    text.remove_prefix(field == 3 ? text.size() : length + 1);
  }
  return true;
}

void gatherPhrases(std::string& pending, std::string_view line,
                   std::vector<std::string>& requests) {
  std::string padded;
  padded.reserve(line.size() + 2);
  padded += ' ';
  padded += line;
  padded += ' ';
  for (size_t i = 0; i < padded.size(); ++i) {
    pending += padded[i];
    std::string_view two = std::string_view(padded).substr(i, 2);
    if (isBoundary(two) || (pending.size() > kLongRequest && padded[i] == ' ')) {
      requests.push_back(std::move(pending));
      pending.clear();
    }
  }
}

AudioNames audioNames(std::string_view textName, std::string_view directory) {
  std::string base = withoutExtension(textName);
  size_t slash = base.find_last_of('/');
  if (slash != std::string::npos) base.erase(0, slash + 1);
  return {base, underscored(base) + ".wav", underscored(base) + ".mp3", base + ".mp3",
          std::string(directory)};
}

}  // namespace varlo
