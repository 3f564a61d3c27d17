// The Olira driver: data paths from [OLIRATTS], speed and pitch turned into
// synthesizer factors, and open/speak/stop/close for the engine dispatcher.
#include "engines/olira_driver.h"

#include <algorithm>

#include "base/config.h"
#include "console/console.h"
#include "engines/olira_output.h"
#include "engines/olira_voice.h"

namespace varlo {

namespace {

// Below this the durations would vanish or turn negative (speeds of 12 and
// more); at it speech is four times the normal rate.
constexpr double kShortestDuration = 0.2;
constexpr double kLowestPitch = 0.25;
constexpr unsigned kClosePoll = 50;

// Computed once, at the first open.
const OliraPaths& dataPaths() {
  static const OliraPaths paths = oliraPathsFor(readPathSetting("OLIRATTS", "MBROLA_DB"),
                                                readPathSetting("OLIRATTS", "DIR"),
                                                readPathSetting("OLIRATTS", "BASE"));
  return paths;
}

bool opened = false;

}  // namespace

OliraPaths oliraPathsFor(std::string database, std::string dir, std::string base) {
  if (database.empty()) database = "br4";
  if (dir.empty()) dir = suiteDirectory() + "/olira/";
  if (base.empty()) base = "portug";
  if (dir.back() != '/') dir += '/';
  if (database.find('/') == std::string::npos) database = dir + database;
  return OliraPaths{database, oliraFilesAt(dir, base)};
}

// Speed 0 keeps the prosody file's durations: near 6 syllables a second, a
// pace that can be listened to for hours.
double oliraDurationFactor(int speed) { return std::max(kShortestDuration, 1.0 - speed / 15.0); }
double oliraPitchFactor(int pitch) { return std::max(kLowestPitch, (pitch + 11) / 11.0); }

bool oliraOpen(int voice, int speed, int pitch, const std::string& outputFile) {
  const OliraPaths& paths = dataPaths();
  setOutputFile(outputFile);
  opened = initSynthesizer(paths.database, paths.files.rules, paths.files.exceptions,
                           paths.files.abbreviations, paths.files.prosody,
                           paths.files.diphones);
  setFactors(oliraDurationFactor(speed), oliraPitchFactor(pitch));
  return opened;
}

bool oliraSpeak(std::string_view text) { return opened && speakPortuguese(text); }

bool oliraIsSpeaking() {
  bool playing = isSynthPlaying();
  if (keyPending()) {
    oliraStop();
    return false;
  }
  return playing;
}

void oliraStop() { stopSynthesizer(); }

bool oliraWriteFailed() { return outputFileFailed(); }
uint64_t oliraOutputBytes() { return outputFileBytes(); }

void oliraClose() {
  while (oliraIsSpeaking()) pause(kClosePoll);
  oliraStop();
  closeSynthesizer();
  opened = false;
}

}  // namespace varlo
