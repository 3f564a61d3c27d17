// The segments of the suite voice: every consonant sound the rules write,
// followed by every vowel sound, plus lone vowels and lone consonants (for
// clusters and word endings), each as Olira phoneme lines.
#include "voice_data/voice_data.h"

#include "base/plain_text.h"
#include "engines/diphone_voice.h"

namespace varlo::voicedata {
namespace {

struct Sound {
  const char* unit;      // as the rules write it
  const char* phonemes;  // Olira's names, blank-separated
};

// Consonant sounds the rules write, with Olira's phonemes.
constexpr Sound kOnsets[] = {
    {"", ""},       {"p", "p"},     {"b", "b"},    {"t", "t"},    {"d", "d"},   {"k", "k"},
    {"g", "g"},     {"f", "f"},     {"v", "v"},    {"s", "s"},    {"z", "z"},   {"x", "sh"},
    {"j", "zh"},    {"m", "m"},     {"n", "n"},    {"l", "l"},    {"r", "r"},   {"rr", "rr"},
    {"lh", "lh"},   {"nh", "nh"},   {"dj", "dj"},  {"tch", "ch"}, {"ks", "k s"},
};

// Vowel sounds: plain, closed (CIRC), nasal (TIL) and open (').
constexpr Sound kVowels[] = {
    {"A", "a"},      {"E", "e"},      {"I", "i"},      {"O", "o"},      {"U", "u"},
    {"ACIRC", "ax"}, {"ECIRC", "e"},  {"OCIRC", "o"},
    {"ATIL", "an"},  {"ETIL", "en"},  {"ITIL", "in"},  {"OTIL", "on"},  {"UTIL", "un"},
    {"E'", "eh"},    {"O'", "oh"},
};

constexpr int kConsonantMs = 70;
constexpr int kVowelMs = 130;
constexpr int kPitch = 205;

void addPhonemes(std::string& lines, const std::string& names, int ms, bool voiced) {
  size_t start = 0;
  while (start < names.size()) {
    size_t end = names.find(' ', start);
    if (end == std::string::npos) end = names.size();
    lines += names.substr(start, end - start) + " " + std::to_string(ms);
    if (voiced) lines += " 0 " + std::to_string(kPitch + 8) + " 100 " + std::to_string(kPitch - 8);
    lines += "\n";
    start = end + 1;
  }
}

SegmentSpec segment(const Sound& onset, const Sound* vowel) {
  SegmentSpec s;
  s.name = upperAscii("$" + std::string(onset.unit) + (vowel ? vowel->unit : ""));
  s.lines = "_ 30\n";
  addPhonemes(s.lines, onset.phonemes, kConsonantMs, true);
  if (vowel) addPhonemes(s.lines, vowel->phonemes, kVowelMs, true);
  s.lines += "_ 30\n";
  return s;
}

}  // namespace

std::vector<SegmentSpec> segmentInventory() {
  std::vector<SegmentSpec> specs;
  for (const Sound& onset : kOnsets) {
    for (const Sound& vowel : kVowels) specs.push_back(segment(onset, &vowel));
    if (*onset.unit) specs.push_back(segment(onset, nullptr));
  }
  // The short nasal murmur that follows a vowel made nasal from parts.
  specs.push_back({"$NN", "_ 10\nn 45 0 200 100 195\n_ 10\n"});
  std::erase_if(specs, [](const SegmentSpec& s) { return s.name.size() > kSegmentNameLength; });
  return specs;
}

}  // namespace varlo::voicedata
