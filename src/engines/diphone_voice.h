// The suite's diphone synthesizer: unit strings from the translator become
// sound by joining recorded segments (8-bit mono 11025 Hz, from the segment
// file DIFONES2.DIF through its sorted index DIFONES2.IND), recorded letter
// files, silence and noise. Samples gather in a 64 000-byte WAV image that
// is played whenever it fills up and at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace varlo {

constexpr int kDiphoneRate = 11025;
constexpr size_t kDiphoneImageBytes = 64000;
constexpr size_t kDiphoneHeaderBytes = 44;
constexpr size_t kIndexRecordBytes = 15;
constexpr size_t kSegmentNameLength = 8;

// Timing in samples ([SINTETIZADOR] CORTEFONn, SOBRAFONn, INTERPALn).
struct DiphoneTiming {
  int cut = 400;       // taken off the end of unstressed segments
  int keep = 0;        // what an unstressed segment keeps at least
  int wordGap = 100;   // silence after a word
};
DiphoneTiming& diphoneTiming();

// 0 loaded; 1 a directory, the index or the data file is missing; 2 the
// translator's rules or exceptions cannot be read.
int loadDiphoneVoice(const std::string& lettersDir, const std::string& segmentsDir);
void closeDiphoneVoice();
bool diphoneVoiceLoaded();

// Synthesizes and plays a unit string; returns once it has been played (or
// a key cut it short).
void speakUnits(std::string_view units, bool noPunctuationPauses);

// Where finished images go: by default the wave player, waiting for the end.
// Tests take them instead. The image holds a WAV header and its samples.
using DiphoneOutput = std::function<void(const uint8_t* image, size_t size)>;
void setDiphoneOutput(DiphoneOutput output);

// Order of the index: shorter names first, then byte order.
bool segmentNameBefore(std::string_view a, std::string_view b);
// One 15-byte index record.
void writeIndexRecord(uint8_t* record, std::string_view name, uint16_t length, uint32_t offset);

// Counts of look-ups, for measuring how well the data covers the rules.
struct DiphoneStats {
  long found = 0;      // segments found as asked
  long fallback = 0;   // names that had to be made of shorter ones
  long noise = 0;      // short names found nowhere
  long missing = 0;    // names that produced nothing
};
DiphoneStats& diphoneStats();

}  // namespace varlo
