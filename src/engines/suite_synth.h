// The suite's own diphone synthesizer, as the speech front end sees it: it
// speaks the word runs of the recorded voice when no engine is open.
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

// Load the synthesizer: 0 on success; 1 when a directory or the segment
// files are missing, 2 when the translator's rules or exceptions are.
int initSuiteSynth();
void shutdownSuiteSynth();

// Speak a run of words and spaces (Windows-1252); returns when played.
void suiteSynthSpeak(std::string_view words);

// Directory of the suite's recorded letters and words ([TRADUTOR] DIRLETRAS),
// ending with "/".
std::string suiteLettersDirectory();
// Directory of the segment files and the translator's rules ([TRADUTOR]
// DIRDIFONES), ending with "/".
std::string suiteSegmentsDirectory();

}  // namespace varlo
