// What the synthesizer sounds like, measured: durations, formants, pitch.
#include <cmath>
#include <string>

#include "synth/signal_analysis.h"
#include "synth/synth_fixture.h"
#include "engines/synth_voice.h"

using namespace varlo;
using namespace varlo::test;

namespace {

std::string steadyVowel(const std::string& name, int hz) {
  return "_ 50\n" + name + " 500 0 " + std::to_string(hz) + " 100 " + std::to_string(hz) + "\n_ 50\n";
}

// Length in ms of the first quiet stretch after `from`: 1 ms windows
// whose level stays under `level`.
double quietMs(const std::vector<int16_t>& s, size_t from, double level) {
  size_t i = from;
  while (i + kMs <= s.size() && rmsOf(s, i, kMs) > level) i += kMs / 8;
  size_t start = i;
  while (i + kMs <= s.size() && rmsOf(s, i, kMs) <= level) i += kMs / 8;
  return double(i - start) / kMs + 1;  // the window's own length
}

}  // namespace

TEST_F(SynthTest, EveryLineLastsExactlyItsDuration) {
  EXPECT_EQ(speak("_ 100\nk 80\na 145 80 253\nz 60\nax 100 50 230\n_ 100\n").size(), size_t(585 * kMs));
  // Decimal durations round to the nearest sample, line by line.
  EXPECT_EQ(speak("a 10.03\ne 10.03\n").size(), size_t(2 * 160));
  EXPECT_EQ(speak("a 0.04\n").size(), 1u);
  // Each line alone, read after its own flush.
  for (const char* line : {"p 77\n", "_ 3\n", "rr 41\n", "ch 120 50 200\n"}) {
    int ms = std::stoi(std::string(line).substr(std::string(line).find(' ') + 1));
    EXPECT_EQ(speak(line).size(), size_t(ms * kMs)) << line;
  }
}

TEST_F(SynthTest, PausesInsideSpeechKeepTheirLength) {
  for (int pause : {30, 100, 250}) {
    auto s = speak("_ 50\na 200 50 200\n_ " + std::to_string(pause) + "\na 200 50 200\n_ 50\n");
    double level = rmsOf(s, 100 * kMs, 100 * kMs) * 0.03;  // -30 dB
    EXPECT_NEAR(quietMs(s, 150 * kMs, level), pause, 5.0) << "pause " << pause;
  }
  // Between consonants too: a voiceless stop's closure is silent as well,
  // so measure from vowel to vowel around the pause.
  auto s = speak("_ 50\na 200 50 200\ns 80\n_ 120\nm 80\na 200 50 200\n_ 50\n");
  double level = rmsOf(s, 100 * kMs, 100 * kMs) * 0.01;
  EXPECT_NEAR(quietMs(s, 300 * kMs, level), 120, 5.0);
}

TEST_F(SynthTest, SteadyVowelsHaveTheirFormants) {
  Voice voice;
  std::string error;
  ASSERT_TRUE(loadVoice(shippedVoice(), voice, error)) << error;
  for (const char* name : {"a", "e", "eh", "i", "o", "oh", "u", "ax"}) {
    const PhoneDef& def = voice.phones[findPhone(voice, name)];
    auto s = speak(steadyVowel(name, 120));
    auto peaks = formantsOf(s, 200 * kMs, 1024, kSynthSampleRate);
    ASSERT_GE(peaks.size(), 2u) << name;
    EXPECT_NEAR(peaks[0], def.target[kF1], def.target[kF1] * 0.10) << name << " F1";
    EXPECT_NEAR(peaks[1], def.target[kF2], def.target[kF2] * 0.10) << name << " F2";
  }
}

TEST_F(SynthTest, SteadyVowelHasTheRequestedPitch) {
  for (int hz : {90, 150, 230, 320}) {
    auto s = speak(steadyVowel("a", hz));
    double f0 = pitchOf(s, 200 * kMs, 2048, kSynthSampleRate, hz * 0.6, hz * 1.6);
    EXPECT_NEAR(f0, hz, hz * 0.02) << hz;
  }
  // No pitch point at all: the voice's own pitch.
  auto s = speak("_ 50\no 400\n_ 50\n");
  EXPECT_NEAR(pitchOf(s, 200 * kMs, 2048, kSynthSampleRate, 140, 370), 230, 5);
}

TEST_F(SynthTest, PitchIsInterpolatedAcrossPhonemes) {
  // 150 Hz at the middle of the first vowel, 250 Hz at the middle of the
  // third: the second vowel, without points, passes through 200 Hz.
  auto s = speak("_ 50\na 300 50 150\ne 300\no 300 50 250\n_ 50\n");
  double mid = pitchOf(s, (50 + 300 + 150) * kMs - 512, 1024, kSynthSampleRate, 120, 320);
  EXPECT_NEAR(mid, 200, 6);
  // Before the first point and after the last the pitch is held.
  EXPECT_NEAR(pitchOf(s, (50 + 20) * kMs, 1024, kSynthSampleRate, 100, 300), 150, 5);
  EXPECT_NEAR(pitchOf(s, (50 + 900 - 100) * kMs, 1024, kSynthSampleRate, 150, 400), 250, 7);
}
