// The suite's own diphone synthesizer, as the speech front end sees it: it
// speaks the word runs of the recorded voice when no engine is open.
//
// The synthesizer itself is built separately; until it lands, suite_synth.cpp
// is a placeholder that loads nothing and says nothing (word runs are then
// silent; numbers, letters and recordings are still heard).
#pragma once

#include <string>
#include <string_view>

namespace varlo {

// Per-speed tuning chosen by the speech front end ([SINTETIZADOR] DIFONESn,
// CORTEFONn, SOBRAFONn, INTERPALn).
struct SuiteSynthTuning {
  std::string diphoneVoice;   // at most 8 characters
  int cutLength = 0;          // CORTEFON
  int minimumLength = 0;      // SOBRAFON
  int wordGap = 0;            // INTERPAL
};
void setSuiteSynthTuning(const SuiteSynthTuning& tuning);

// Load the synthesizer: 0 on success, otherwise the error code to show.
int initSuiteSynth();
void shutdownSuiteSynth();

// Speak a run of words and spaces (Windows-1252); returns when played.
void suiteSynthSpeak(std::string_view words);

// Directory of the suite's recorded letters and words ([TRADUTOR] DIRLETRAS),
// ending with "/".
std::string suiteLettersDirectory();

}  // namespace varlo
