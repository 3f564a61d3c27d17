// Rendering one text into one WAV file in the current directory: the text
// is spoken in phrase-sized requests into the engine's output file, and
// every voice or effect marker closes the piece recorded so far, which is
// joined (with the effect's sound) into "temp.wav".
#pragma once

#include <string>
#include <vector>

#include "audio/conversion_text.h"

namespace varlo {

enum class RenderResult {
  done,        // names.wavName holds the whole text
  noVoice,     // the voice could not record into the file (said)
  writeFailed, // the file could not be written whole (a full disk): removed (said)
};

// Speak the lines into names.wavName. effectDirectory is where an effect
// named without a directory is also looked for (the project directory).
RenderResult renderText(const std::vector<std::string>& lines, const AudioNames& names,
                        const std::string& effectDirectory);

}  // namespace varlo
