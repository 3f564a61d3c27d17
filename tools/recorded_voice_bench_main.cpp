// recorded-voice-bench: how well the suite voice's segment data covers
// Portuguese words, and how fast the recorded voice makes sound.
//   recorded-voice-bench WORD_LIST [COUNT]
// Takes COUNT words (2000) of the list with a fixed seed, speaks each into
// memory, and prints the share of segment look-ups found as asked, the share
// of words that needed noise for a missing short segment, and the speed in
// multiples of real time.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "engines/diphone_voice.h"
#include "engines/suite_synth.h"
#include "engines/unit_translator.h"

using namespace varlo;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: recorded-voice-bench WORD_LIST [COUNT]\n");
    return 2;
  }
  std::ifstream in(argv[1]);
  std::vector<std::string> all;
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) all.push_back(utf8ToCp1252(line));
  const size_t count = argc > 2 ? std::stoul(argv[2]) : 2000;
  if (all.empty()) return std::fprintf(stderr, "no words in %s\n", argv[1]), 1;
  if (int error = initSuiteSynth()) return std::fprintf(stderr, "suite voice error %d\n", error), 1;
  std::mt19937 pick(13);
  size_t samples = 0, noisyWords = 0;
  setDiphoneOutput([&samples](const uint8_t*, size_t size) { samples += size - kDiphoneHeaderBytes; });
  diphoneStats() = {};
  const auto start = std::chrono::steady_clock::now();
  for (size_t i = 0; i < count; ++i) {
    const long noiseBefore = diphoneStats().noise;
    speakUnits(translateText(all[pick() % all.size()]), false);
    if (diphoneStats().noise > noiseBefore) ++noisyWords;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  shutdownSuiteSynth();
  const DiphoneStats s = diphoneStats();
  const double lookups = double(s.found + s.fallback + s.noise + s.missing);
  std::printf("words: %zu  sound: %.1f s  time: %.3f s\n", count, double(samples) / kDiphoneRate, seconds);
  std::printf("segments found as asked: %.1f %% (goal >= 95 %%)\n", 100.0 * double(s.found) / lookups);
  std::printf("words that needed noise: %.2f %% (goal <= 1 %%)\n", 100.0 * double(noisyWords) / double(count));
  std::printf("speed: %.0f x real time (goal >= 50)\n", double(samples) / kDiphoneRate / seconds);
  return 0;
}
