// Placeholder for the suite diphone synthesizer until it is built: it loads
// nothing and leaves word runs silent. Only the letters directory is real,
// because the recorded letters and number words live there.
#include "engines/suite_synth.h"

#include "base/config.h"

namespace varlo {

void setSuiteSynthTuning(const SuiteSynthTuning&) {}

int initSuiteSynth() { return 0; }

void shutdownSuiteSynth() {}

void suiteSynthSpeak(std::string_view) {}

std::string suiteLettersDirectory() {
  std::string dir = readPathSetting("TRADUTOR", "DIRLETRAS");
  if (dir.empty()) dir = suiteDirectory() + "/som/letras";
  if (dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace varlo
