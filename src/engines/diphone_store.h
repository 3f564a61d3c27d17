// Inside the diphone synthesizer: what the unit reader asks of the store of
// segments, letter files and the output image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engines/diphone_voice.h"

namespace varlo {

// A segment of the index, cut (unstressed, mode below 2) and scaled by the
// factor; false when the index has no such name.
bool appendSegment(std::string_view name, int mode, double factor);
// The samples of the letter file dirLetras + name + ".wav"; false when it
// cannot be opened, has no data or is not 8-bit mono 11025 Hz.
bool appendLetterFile(std::string_view name);
void appendSamples(const uint8_t* samples, size_t n);
// n samples of silence, or of noise (values 88 to 167).
void appendFill(size_t n, bool noise);
void flushOutput();
void resetOutput();

}  // namespace varlo
