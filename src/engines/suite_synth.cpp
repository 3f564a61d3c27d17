// The suite synthesizer as the speech front end uses it: the translator and
// the diphone synthesizer, loaded from the directories of [TRADUTOR].
#include "engines/suite_synth.h"

#include "base/config.h"
#include "engines/diphone_voice.h"
#include "engines/unit_translator.h"

namespace varlo {
namespace {

std::string settingDirectory(std::string_view key, const char* fallback) {
  std::string dir = readPathSetting("TRADUTOR", key);
  if (dir.empty()) dir = suiteDirectory() + fallback;
  if (dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

void setSuiteSynthTuning(const SuiteSynthTuning& tuning) {
  DiphoneTiming& timing = diphoneTiming();
  timing.cut = tuning.cutLength;
  timing.keep = tuning.minimumLength;
  timing.wordGap = tuning.wordGap;
}

int initSuiteSynth() {
  return loadDiphoneVoice(suiteLettersDirectory(), suiteSegmentsDirectory());
}

void shutdownSuiteSynth() { closeDiphoneVoice(); }

void suiteSynthSpeak(std::string_view words) { speakUnits(translateText(words), false); }

std::string suiteLettersDirectory() { return settingDirectory("DIRLETRAS", "/som/letras"); }

std::string suiteSegmentsDirectory() { return settingDirectory("DIRDIFONES", "/som/difones"); }

}  // namespace varlo
