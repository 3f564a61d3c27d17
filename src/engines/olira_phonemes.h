// Last stage of the Olira front end: the letter-to-sound lines become
// synthesizer phoneme lines "name duration [position pitch]" with the
// stress lengthening, the shortening of long words, the pitch points of the
// intonation codes and bridges where the voice lacks a diphone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlo {

// Loads the diphone list (two phoneme names a line; "!", "*" and ";" start
// comments). False when the file cannot be opened.
bool loadDiphones(const std::string& path);
void releaseDiphones();
// Whether the voice has the diphone first-second (case ignored).
bool hasDiphone(std::string_view first, std::string_view second);

// Phoneme lines with durations scaled by durationFactor and pitches by
// pitchFactor; word header lines become ";text" comments.
std::vector<std::string> phonemeLines(const std::vector<std::string>& lines,
                                      double durationFactor, double pitchFactor);

}  // namespace varlo
