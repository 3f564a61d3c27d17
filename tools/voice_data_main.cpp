// voice-data: makes the recordings of the suite voice from the voice Olira.
//   voice-data LETTERS_DIR SEGMENTS_DIR SOUNDS_DIR
// Writes the segment files DIFONES2.IND/.DIF into SEGMENTS_DIR (beside the
// rules they serve), letter, word, cue and tone recordings into LETTERS_DIR,
// and the earcons into SOUNDS_DIR. The same input always gives the same
// bytes.
#include <algorithm>
#include <filesystem>
#include <iostream>

#include "engines/diphone_voice.h"
#include "voice_data/voice_data.h"

using namespace varlo;
using namespace varlo::voicedata;

namespace {

bool fail(const std::string& what) {
  std::cerr << "voice-data: " << what << "\n";
  return false;
}

bool writeSegments(const std::string& dir) {
  std::vector<SegmentSpec> specs = segmentInventory();
  std::sort(specs.begin(), specs.end(),
            [](const SegmentSpec& a, const SegmentSpec& b) { return segmentNameBefore(a.name, b.name); });
  std::string index, data;
  for (const SegmentSpec& spec : specs) {
    Samples s = renderPhonemes(spec.lines);
    s.resize(std::min<size_t>(s.size(), 0xFFFF));
    uint8_t record[kIndexRecordBytes];
    writeIndexRecord(record, spec.name, uint16_t(s.size()), uint32_t(data.size()));
    index.append(reinterpret_cast<char*>(record), sizeof record);
    data.append(s.begin(), s.end());
  }
  return (writeWhole(dir + "/DIFONES2.DIF", data) && writeWhole(dir + "/DIFONES2.IND", index)) ||
         fail("cannot write the segment files in " + dir);
}

bool writeSpoken(const std::string& dir, const std::vector<Spoken>& list, size_t limit) {
  for (const Spoken& item : list) {
    Samples s = renderText(item.text);
    if (s.empty()) return fail("Olira said nothing for " + item.name);
    s.resize(std::min(s.size(), limit));
    if (!writeWav(dir + "/" + item.name + ".wav", s)) return fail("cannot write " + item.name);
  }
  return true;
}

bool writeGenerated(const std::string& dir, const std::vector<Generated>& list) {
  for (const Generated& item : list)
    if (!writeWav(dir + "/" + item.name + ".wav", item.samples)) return fail("cannot write " + item.name);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: voice-data LETTERS_DIR SEGMENTS_DIR SOUNDS_DIR\n";
    return 2;
  }
  const std::string letters = argv[1], segments = argv[2], sounds = argv[3];
  std::error_code ignored;
  for (const std::string& dir : {letters, segments, sounds}) std::filesystem::create_directories(dir, ignored);
  std::string error;
  if (!openOlira(error)) {
    fail("Olira cannot start: " + error);
    return 1;
  }
  bool ok = writeSegments(segments) && writeSpoken(letters, letterRecordings(), kLetterLimit) &&
            writeSpoken(letters, wordRecordings(), kWordLimit) &&
            writeGenerated(letters, telephoneTones()) && writeGenerated(sounds, earcons());
  closeOlira();
  return ok ? 0 : 1;
}
