// Rendering one text into one WAV file in the current directory: the text
// is spoken in phrase-sized requests into the engine's output file, and
// every voice or effect marker closes the piece recorded so far, which is
// joined (with the effect's sound) into "temp.wav".
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "production/conversion_text.h"

namespace varlo {

enum class RenderResult {
  done,        // names.wavName holds the whole text
  noVoice,     // the voice could not record into the file (said)
  writeFailed, // the file could not be written whole (a full disk): removed (said)
  diskFull,    // joining the pieces failed (said), nothing kept: the caller ends the program
};

// The voice and the switches a rendering works with.
struct RenderOptions {
  int suiteSpeechSpeed = 2;     // speed level of the front end while recording
  bool useEngine = false;       // an engine may be opened at all
  bool voiceChosen = false;     // the voice below was chosen in this run
  int engineType = 3, voice = 0, speed = 0, pitch = 0;
  bool withSilence = false;     // silences at paragraph ends and around the text
  std::string effectDirectory;  // also searched for effects named without a directory
};

// The next line of the text; false at its end. A text is spoken as it is
// read, never held whole.
using LineSource = std::function<bool(std::string& line)>;

// Speak the lines into names.wavName.
RenderResult renderText(const LineSource& nextLine, const AudioNames& names,
                        const RenderOptions& options);

}  // namespace varlo
