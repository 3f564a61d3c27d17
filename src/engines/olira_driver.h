// The Olira driver of the engine dispatcher (engine code 3): one voice,
// speed and pitch as duration and pitch factors, live speech or rendering
// into a WAV file. Data files come from [OLIRATTS] MBROLA_DB, DIR and BASE,
// by default br4 and portug.* in the suite's olira directory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engines/olira_voice.h"

namespace varlo {

// voice is ignored; speed 0 is the normal rate (3 faster, -3 slower);
// pitch 0 the normal pitch, 11 twice as high. outputFile "" speaks live.
bool oliraOpen(int voice, int speed, int pitch, const std::string& outputFile);
void oliraClose();
bool oliraSpeak(std::string_view text);
// A pending key stops the speech and answers false.
bool oliraIsSpeaking();
void oliraStop();
// After oliraClose: the output file could not be written completely.
bool oliraWriteFailed();
// Sample bytes the output file has received.
uint64_t oliraOutputBytes();

// The synthesizer voice and the five data files from the [OLIRATTS] values
// MBROLA_DB, DIR and BASE; empty values give br4, the suite's olira
// directory and portug.
struct OliraPaths {
  std::string database;
  OliraDataFiles files;
};
OliraPaths oliraPathsFor(std::string database, std::string directory, std::string base);

// Duration and pitch factors for a speed and a pitch setting, kept within
// what the synthesizer can render.
double oliraDurationFactor(int speed);
double oliraPitchFactor(int pitch);

}  // namespace varlo
