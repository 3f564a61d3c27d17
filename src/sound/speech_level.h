// Loudness of speech: the RMS of its active parts (20 ms windows louder
// than -50 dB of full scale; the pauses between words left out), as a
// fraction of full scale. The level of an engine's live speech is kept as
// it plays, so that recorded sounds said among it (the echo of typed
// letters) can be brought to the same loudness.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace varlo {

// Energy and length of the active windows of PCM samples (8-bit unsigned or
// 16-bit signed, mono or interleaved).
struct LevelSum {
  double energy = 0;   // sum of squared samples, full scale 1.0
  uint64_t samples = 0;
};
void addLevel(LevelSum& sum, const uint8_t* data, size_t bytes, int rate, int bits);
// RMS of the active windows; 0 for silence.
double levelOf(const LevelSum& sum);

// The engine's speech as it plays, and its level so far (0: none heard).
void noteVoiceSamples(const uint8_t* data, size_t bytes, int rate, int bits);
double voiceLevel();

// Level of a WAV file's samples, kept per path once measured; 0 when it
// cannot be read or is silent.
double fileLevel(const std::string& path);

// Decibels of a level (full scale 0 dB).
double levelDb(double level);

}  // namespace varlo
