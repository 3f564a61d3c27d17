// The text side of conversion: loading a text (re-wrapping long lines),
// reading the voice and effect markers, gathering phrase-sized speak
// requests, and the names of the files a text becomes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "production/text_division.h"
#include "production/text_lines.h"

namespace varlo {

// Long lines are re-wrapped to this width.
constexpr int kWrapWidth = 80;
// A request is cut at the first space after this many gathered characters.
constexpr size_t kLongRequest = 200;

// Re-wrap a text whose lines are too long to be spoken comfortably: tabs
// expanded to multiples of 8, lines joined into paragraphs (a paragraph ends
// at an empty line or a line that begins with a space), paragraphs cut at
// the last space between columns 40 and 79, or at column 79 when there is
// none.
std::vector<std::string> rewrapLines(const std::vector<std::string>& lines);
// The same a line at a time: a line fed may finish lines, the end the rest.
struct Rewrap {
  std::string carried;   // the paragraph not yet cut
};
void rewrapLine(Rewrap& wrap, std::string_view raw, std::vector<std::string>& out);
void endRewrap(Rewrap& wrap, std::vector<std::string>& out);

// A text file read as conversion speaks it, a line at a time and never held
// whole: converted from UTF-8 as textFromFile would convert all of it, and
// re-wrapped as linesForSpeech would when one of its lines is too long.
struct SpeechLines {
  LineReader reader;
  bool fromUtf8 = false;   // UTF-8 text, converted line by line
  bool byteOrderMark = false;
  bool rewrap = false;
  bool firstLine = true;
  Rewrap wrap;
  std::vector<std::string> ready;   // re-wrapped lines not yet handed out
  size_t next = 0;
  bool rawEnded = false;
};
// Looks through the file first (it is read again for the lines); false when
// it cannot be read. `utf8` is looksLikeUtf8 of the whole file.
bool openSpeechLines(SpeechLines& text, const std::string& path, bool utf8);
bool nextSpeechLine(SpeechLines& text, std::string& line);
void closeSpeechLines(SpeechLines& text);

// "#SAPI#t,n,v,p" after the six marker characters. True with all four fields
// read; otherwise false, and `rest` holds the text from the field that did
// not read as a decimal integer on, to be spoken as ordinary text.
bool parseVoiceFields(std::string_view fields, VoiceMarker& marker, std::string& rest);

// Add one trimmed, non-empty line to the pending speech (the line goes in
// with one space on each side) and append to `requests` every request that
// ends in it: at ". ", "? ", "! ", ": ", ", ", "; ", or at a space once more
// than 200 characters are gathered. What follows the last boundary stays
// pending.
void gatherPhrases(std::string& pending, std::string_view line,
                   std::vector<std::string>& requests);

// Names of the files of one text, from its name in the project directory.
struct AudioNames {
  std::string baseName;      // without directory and extension
  std::string wavName;       // spaces as "_", ".wav": the recording
  std::string mp3Name;       // spaces as "_", ".mp3": what the encoder writes
  std::string finalMp3Name;  // spaces kept, ".mp3": the result
  std::string directory;     // where they are made; "" the current directory
};
AudioNames audioNames(std::string_view textName, std::string_view directory = "");

}  // namespace varlo
