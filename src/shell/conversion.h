// Main-menu option C: every text of the selection becomes one WAV file, or
// one MP3 file, in the project's audio subdirectory.
#pragma once

#include <string>

namespace varlo {

struct AppState;

// The project's audio subdirectory, where the audio files are made.
std::string outputDirectory(const AppState& s);

// Asks WAV or MP3 (unless appState().commandLineMode, when
// appState().mp3Output is already set), then converts the selection in
// order; a key pressed while a text converts pauses the run between texts.
// True when every text became its audio file (the failures were said).
bool convertSelection();

}  // namespace varlo
