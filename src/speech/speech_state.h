// The speech front end's one state record and the helpers its stages share.
// Internal to src/console/speech*.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "speech/speech.h"

namespace varlo {

struct SpeechState {
  bool engineOpen = false;
  std::string outputFile;
  int speedLevel = 3;
  std::string soundDir;        // the program's recorded messages
  std::string lettersDir;      // the suite's "_" recordings
  int pauseFullStop = 250;     // ms
  int pauseComma = 150;
  int pauseColon = 200;
  SpeechOptions options;
  bool waitBeforeNext = true;
  bool stopRequested = false;
  bool synthLoaded = false;
  SoundListener listener = nullptr;
  std::string displayNoticeSaid;   // the console's notice last said, "" when none
  bool announcing = false;         // saying what the front end announced
};

SpeechState& speechState();

// Tells the test listener, if any.
void noteSound(SoundEvent event, std::string_view detail);
// Plays a recording file to its end (or a key press), telling the listener.
void playSoundFile(const std::string& path);
// A WAV image of 8-bit mono samples at 11025 Hz, the recorded voice's format.
std::vector<uint8_t> recordedVoiceImage(const std::vector<uint8_t>& samples);
// Plays a WAV image from memory and waits for its end.
void playSoundImage(const std::vector<uint8_t>& image);
// The path, or a file of the same name in another letter case, if any.
std::string existingFile(const std::string& path);

// When a recording is missing and an engine is open, the engine says the
// text instead; false when no engine is open.
bool speakThroughEngine(std::string_view text);
// The Portuguese name of a character ("vírgula"); letters and digits as such.
std::string characterName(uint8_t c);

// The recorded voice: the text cut into words, numbers and characters.
void speakRecorded(std::string_view text);

// Says what the front end announced, if anything (a pump hook).
void sayAnnouncementNow();
// The open engine's server went away: the configured voice of [SERVFALA]
// (espeak-ng's first voice when that is the lost one) takes over and says
// so once.
void replaceLostEngine();

}  // namespace varlo
