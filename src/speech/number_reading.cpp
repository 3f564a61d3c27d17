// Portuguese number words and the playing of word recordings joined into
// one sound (8-bit mono 11025 Hz, at most 30000 bytes at a time).
#include "speech/number_reading.h"

#include <cstdio>
#include <string>

#include "speech/speech_state.h"
#include "engines/suite_synth.h"
#include "sound/wave_player.h"

namespace varlo {
namespace {

constexpr size_t kJoinBytes = 30000;
constexpr int kWordRate = 11025;
constexpr size_t kNameLength = 8;

const char* const kUnits[] = {"zero", "um", "dois", "tres", "quatro",
                              "cinco", "seis", "sete", "oito", "nove"};
const char* const kTeens[] = {"dez", "onze", "doze", "treze", "quatorze",
                              "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
const char* const kTens[] = {"", "", "vinte", "trinta", "quarenta",
                             "cinquenta", "sessenta", "setenta", "oitenta", "noventa"};
const char* const kHundreds[] = {"", "cento", "duzentos", "trezentos", "quatrocentos",
                                 "quinhentos", "seiscentos", "setecentos", "oitocentos",
                                 "novecentos"};
// Windows-1252: \xE3 is "a" with tilde, \xF5 "o" with tilde.
const char* const kGroupOne[] = {"trilh\xE3o ", "bilh\xE3o ", "milh\xE3o ", "mil ", ""};
const char* const kGroupMany[] = {"trilh\xF5" "es ", "bilh\xF5" "es ", "milh\xF5" "es ",
                                  "mil ", ""};

std::string groupWords(int h, int d, int u) {
  if (h == 0 && d == 0 && u == 0) return "";
  if (h == 1 && d == 0 && u == 0) return "cem";
  std::string out;
  if (h != 0) {
    out = kHundreds[h];
    if (d == 0 && u == 0) return out;
    out += " e ";
  }
  if (d == 1) return out + kTeens[u];
  if (d != 0) {
    out += kTens[d];
    if (u == 0) return out;
    out += " e ";
  }
  if (u != 0) out += kUnits[u];
  return out;
}

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

std::string numberWords(uint32_t n) {
  if (n == 0) return "zero";
  char digits[16];
  std::snprintf(digits, sizeof digits, "%015u", n);
  std::string groups[5];
  int lastWithWords = -1;
  for (int g = 0; g < 5; ++g) {
    const char* p = digits + g * 3;
    groups[g] = groupWords(p[0] - '0', p[1] - '0', p[2] - '0');
    if (groups[g].empty()) continue;
    bool one = p[0] == '0' && p[1] == '0' && p[2] == '1';
    if (g < 4) groups[g] += std::string(" ") + (one ? kGroupOne[g] : kGroupMany[g]);
    lastWithWords = g;
  }
  // "e" joins the last group only when it is below a hundred or a whole
  // hundred: "dois mil e quinhentos", but "mil oitocentos e vinte e dois".
  const char* last = digits + lastWithWords * 3;
  bool joinWithE = last[0] == '0' || (last[1] == '0' && last[2] == '0');
  std::string out;
  for (int g = 0; g < 5; ++g) {
    if (g == lastWithWords && !out.empty() && joinWithE) out += "e ";
    out += groups[g];
  }
  if (out.rfind("um mil", 0) == 0 && out.rfind("um milh", 0) != 0) out.erase(0, 3);
  return out;
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
