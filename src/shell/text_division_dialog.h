// Main-menu option D (and Ctrl+D, and the command-line job): ask for a text
// and a rule, then write its parts into the project directory.
#pragma once

namespace varlo {

// Interactive unless appState().commandLineMode, in which case the last
// selected file is divided every appState().linesPerPart lines. With
// appState().alternateVoices.active every part carries its voice marker.
// On success the selection holds the parts and the audio subdirectory is
// the text's title. The old parts are removed only once the new text has
// been read and can be divided, so a cancelled question keeps them.
void divideFile();

}  // namespace varlo
