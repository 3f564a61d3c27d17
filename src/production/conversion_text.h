// The text side of conversion: loading a text (re-wrapping long lines),
// reading the voice and effect markers, gathering phrase-sized speak
// requests, and the names of the files a text becomes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "production/text_division.h"

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
// The lines as conversion speaks them: re-wrapped when one is longer than
// the wrap width, else as they are.
std::vector<std::string> linesForSpeech(const std::vector<std::string>& lines);

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
};
AudioNames audioNames(std::string_view textName);

}  // namespace varlo
