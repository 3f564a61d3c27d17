// The voice-data tool: it makes every recording of the suite voice (segment
// file, letters, words, cues, telephone tones, earcons) from the program's
// own voice Olira, as 8-bit mono 11025 Hz sound.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varlo::voicedata {

constexpr int kRate = 11025;
constexpr size_t kLetterLimit = 64000;   // samples of a letter recording
constexpr size_t kWordLimit = 30000;     // samples of a joined word recording

using Samples = std::vector<uint8_t>;

// Olira, loaded from the suite directory's olira data; false with a reason.
bool openOlira(std::string& error);
void closeOlira();
// Olira's phoneme lines made into sound: a leading pause line is cut off
// exactly, so that the closure of a stop after it stays; otherwise both
// ends are trimmed of silence.
Samples renderPhonemes(const std::string& lines);
// A Portuguese text (UTF-8) spoken by Olira, trimmed.
Samples renderText(const std::string& utf8);

// Writes an 8-bit mono 11025 Hz WAV file through a temporary name, so that
// a reader never sees half a file.
bool writeWav(const std::string& path, const Samples& samples);
bool writeWhole(const std::string& path, const std::string& bytes);

// Recordings named by what they say.
struct Spoken {
  std::string name;   // file name without ".wav"
  std::string text;   // UTF-8
};
std::vector<Spoken> letterRecordings();    // _NN, _FONNN, _unknown
std::vector<Spoken> wordRecordings();      // numbers, clock, date, cues

// The segment names of the diphone data with the phoneme lines of each.
struct SegmentSpec {
  std::string name;    // upper case, at most 8 characters
  std::string lines;   // Olira phoneme lines
};
std::vector<SegmentSpec> segmentInventory();

// Generated sounds: the telephone tones dtmf_0 ... dtmf_X and the earcons.
struct Generated {
  std::string name;
  Samples samples;
};
std::vector<Generated> telephoneTones();
std::vector<Generated> earcons();   // VLMENU, VLSAI, VLEFEITO

}  // namespace varlo::voicedata
