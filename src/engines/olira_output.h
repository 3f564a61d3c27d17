// Top of the Olira voice: its data files, the phoneme synthesizer and the
// sound. A text goes through the front end (olira_voice.h), the phoneme
// lines through the synthesizer, and the 16 kHz 16-bit mono samples either
// to the wave player, in images of at most 64 000 bytes so that playback
// starts early, or into a WAV file whose header is completed at close.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varlo {

// Loads the synthesizer voice (database: a name looked up beside the rule
// file, or a path) and the five data files (empty names: portug.* in the
// suite's olira directory); creates the output file set by setOutputFile.
// Data file faults are told to the user. False when anything fails.
bool initSynthesizer(const std::string& database, const std::string& rulesFile,
                     const std::string& exceptionsFile, const std::string& abbreviationsFile,
                     const std::string& prosodyFile, const std::string& diphonesFile);
// "" for live speech; used by the next initSynthesizer.
void setOutputFile(std::string_view path);
// Duration and pitch multipliers (1.0 normal).
void setFactors(double durationFactor, double pitchFactor);
// Synthesizes the text and queues its sound (or writes it to the file).
// False when the synthesizer failed or the file could not be written.
bool speakPortuguese(std::string_view text);
void stopSynthesizer();
bool isSynthPlaying();  // always false when writing to a file
// Completes the WAV header of the output file, releases everything.
void closeSynthesizer();
// After closeSynthesizer: the output file could not be written completely.
bool outputFileFailed();
// Sample bytes written to the output file since it was created.
uint64_t outputFileBytes();

}  // namespace varlo
