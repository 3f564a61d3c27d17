// The Olira front end as a whole: its data files and the road from a text
// to synthesizer phoneme lines (preprocessing, key-word classes,
// intonation codes, letter-to-sound, durations and pitch).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlo {

struct OliraDataFiles {
  std::string rules;          // .nrl
  std::string exceptions;     // .exc
  std::string abbreviations;  // .abr
  std::string prosody;        // .pro
  std::string diphones;       // .dfn
};

// The five files directory + base + ".nrl" ... ".dfn".
OliraDataFiles oliraFilesAt(std::string directory, std::string_view base);

// Loads every data file. False when one is missing or faulty. message, when
// not empty, is what the user must be told (it may be set on success too,
// for a prosody line that was read with a default).
bool loadVoiceData(const OliraDataFiles& files, std::string& message);
void releaseVoiceData();

// The letter-to-sound lines of a text: ";code|word" headers, phoneme names
// with the ">" stress mark, an empty line after every word.
std::vector<std::string> letterToSoundLines(std::string_view text);

// Header comments (";word") and phoneme lines of a text, empty lines kept
// between words; the text is Windows-1252.
std::vector<std::string> textToPhonemeLines(std::string_view text, double durationFactor,
                                            double pitchFactor);

}  // namespace varlo
