// Portuguese number words and the playing of word recordings joined into
// one sound (8-bit mono 11025 Hz, at most 30000 bytes at a time).
#include "speech/number_reading.h"

#include <cstdio>
#include <string>

#include "base/number_words.h"
#include "speech/speech_state.h"
#include "engines/suite_synth.h"
#include "sound/wave_player.h"

namespace varlo {
namespace {

constexpr size_t kJoinBytes = 30000;
constexpr int kWordRate = 11025;
constexpr size_t kNameLength = 8;

// Samples of word recordings gathered for one sound.
struct Joiner {
  std::vector<uint8_t> samples;

  void flush() {
    if (samples.empty()) return;
    noteSound(SoundEvent::joined, std::to_string(samples.size()));
    std::vector<uint8_t> image = recordedVoiceImage(samples);
    samples.clear();
    waitForEngine();
    playSoundImage(image);
  }

  // A recording in another format, or too long to join, is played alone.
  void add(const std::string& path) {
    noteSound(SoundEvent::file, path);
    std::string actual = existingFile(path);
    WaveInfo info;
    if (actual.empty() || !readWaveInfo(actual, info)) return;
    const WaveFormat& f = info.format;
    if (f.sampleRate != kWordRate || f.bitsPerSample != 8 || f.channels != 1 ||
        info.dataSize > kJoinBytes) {
      flush();
      playWaveFile(actual);
      return;
    }
    std::vector<uint8_t> data(info.dataSize);
    std::FILE* file = std::fopen(actual.c_str(), "rb");
    if (!file) return;
    bool ok = std::fseek(file, long(info.dataOffset), SEEK_SET) == 0;
    data.resize(ok ? std::fread(data.data(), 1, data.size(), file) : 0);
    std::fclose(file);
    if (samples.size() + data.size() > kJoinBytes) flush();
    samples.insert(samples.end(), data.begin(), data.end());
  }
};

std::string plainVowels(std::string word) {
  for (char& c : word) {
    if (c == '\xE3') c = 'a';
    if (c == '\xF5') c = 'o';
  }
  return word;
}

}  // namespace

// The words name the recorded voice's recordings, which are unaccented
// ("_tres"); it says "mil duzentos e trinta" but "dois mil e quinhentos".
std::string numberWords(uint32_t n) {
  return cardinalWords(n, {.accents = false, .eBeforeEveryLastGroup = false});
}

std::vector<std::string> wordRecordingNames(std::string_view words, bool feminine) {
  std::vector<std::string> names;
  size_t i = 0;
  while (i < words.size()) {
    size_t end = words.find(' ', i);
    if (end == std::string_view::npos) end = words.size();
    std::string word = plainVowels(std::string(words.substr(i, end - i)));
    i = end + 1;
    if (word.empty()) continue;
    if (word == "dezessete") word = "dezeset";   // apart from "_dezesse"(is)
    names.push_back(("_" + word).substr(0, kNameLength));
  }
  if (feminine && !names.empty()) {
    if (names.back() == "_um") names.back() = "_uma";
    if (names.back() == "_dois") names.back() = "_duas";
  }
  return names;
}

std::string feminineWords(std::string_view words) {
  std::string out(words);
  while (!out.empty() && out.back() == ' ') out.pop_back();
  size_t start = out.find_last_of(' ');
  start = start == std::string::npos ? 0 : start + 1;
  std::string last = out.substr(start);
  if (last == "um") out.replace(start, 2, "uma");
  if (last == "dois") out.replace(start, 4, "duas");
  return out;
}

void playRecordingNames(const std::vector<std::string>& names, std::string_view text) {
  const std::string dir = suiteLettersDirectory();
  if (speechState().engineOpen) {
    for (const std::string& name : names) {
      if (existingFile(dir + name + ".wav").empty()) {
        speakThroughEngine(text);
        return;
      }
    }
  }
  Joiner joiner;
  for (const std::string& name : names) joiner.add(dir + name + ".wav");
  joiner.flush();
}

void playWords(std::string_view words, bool feminine) {
  playRecordingNames(wordRecordingNames(words, feminine),
                     feminine ? feminineWords(words) : std::string(words));
}

}  // namespace varlo
