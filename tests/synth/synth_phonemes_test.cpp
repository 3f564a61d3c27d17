// How the phoneme classes are shaped: closures and bursts, voicing,
// frication, the tap, coda s, transitions between targets.
#include <string>

#include "engines/synth_voice.h"
#include "synth/signal_analysis.h"
#include "synth/synth_fixture.h"

using namespace varlo;
using namespace varlo::test;

namespace {

constexpr int kPitch = 200;
constexpr int kLag = kSynthSampleRate / kPitch;

std::string between(const std::string& consonant, int ms, const std::string& after = "a") {
  return "_ 50\na 150 0 200 100 200\n" + consonant + " " + std::to_string(ms) + " 50 200\n" + after +
         " 150 0 200 100 200\n_ 50\n";
}

}  // namespace

TEST_F(SynthTest, VoicelessStopIsSilentUntilItsRelease) {
  auto s = speak(between("t", 100));
  size_t t0 = 200 * kMs;
  // Closure: after the vowel's fade (4 ms, 1 more for the ramp), until
  // burst and aspiration (24 ms).
  for (size_t i = t0 + 5 * kMs; i < t0 + 70 * kMs; ++i) ASSERT_EQ(s[i], 0) << "sample " << i - t0;
  EXPECT_GT(rmsOf(s, t0 + 78 * kMs, 20 * kMs), 100);
  // The burst is noise, high in the spectrum.
  EXPECT_LT(periodicityAt(s, t0 + 76 * kMs, 8 * kMs, kLag), 0.5);
  EXPECT_GT(highToLowRatio(s, t0 + 76 * kMs, 8 * kMs), 1.0);
}

TEST_F(SynthTest, VoicedStopKeepsVoicingUnderItsClosure) {
  auto s = speak(between("d", 100));
  size_t t0 = 200 * kMs;
  double bar = rmsOf(s, t0 + 20 * kMs, 50 * kMs), vowel = rmsOf(s, 100 * kMs, 50 * kMs);
  // Heard as voicing, within 10 dB of the vowel, yet clearly under it.
  EXPECT_GT(bar, vowel / 3.2);
  EXPECT_LT(bar, vowel / 1.5);
  EXPECT_GT(periodicityAt(s, t0 + 20 * kMs, 50 * kMs, kLag), 0.8);
  EXPECT_LT(highToLowRatio(s, t0 + 20 * kMs, 50 * kMs), 0.3);
}

TEST_F(SynthTest, FricativesAreNoiseAndVoicedOnesAreVoicedToo) {
  auto s = speak(between("s", 150));
  auto z = speak(between("z", 150));
  size_t mid = (200 + 30) * kMs, len = 90 * kMs;
  EXPECT_LT(periodicityAt(s, mid, len, kLag), 0.3);
  EXPECT_GT(highToLowRatio(s, mid, len), 1.5);
  EXPECT_GT(periodicityAt(z, mid, len, kLag), periodicityAt(s, mid, len, kLag) + 0.3);
  EXPECT_GT(periodicityAt(speak(between("a", 150)), mid, len, kLag), 0.9);
}

TEST_F(SynthTest, CodaSIsVoicedOnlyBeforeAVoicedConsonant) {
  size_t mid = (200 + 20) * kMs, len = 60 * kMs;
  double beforeM = periodicityAt(speak(between("s2", 100, "m")), mid, len, kLag);
  double beforeT = periodicityAt(speak(between("s2", 100, "t")), mid, len, kLag);
  double atEnd = periodicityAt(speak("_ 50\na 150 50 200\ns2 100\n_ 50\n"), mid, len, kLag);
  EXPECT_GT(beforeM, beforeT + 0.25);
  EXPECT_LT(beforeT, 0.3);
  EXPECT_LT(atEnd, 0.3);
}

TEST_F(SynthTest, TapDipsTheVoicingBriefly) {
  auto s = speak(between("r", 40));
  double vowel = rmsOf(s, 120 * kMs, 40 * kMs);
  double tap = rmsOf(s, (200 + 16) * kMs, 8 * kMs);
  EXPECT_LT(tap, vowel / 3);
  EXPECT_GT(tap, 0);
}

TEST_F(SynthTest, FormantsGlideFromOneVowelToTheNext) {
  Voice voice;
  std::string error;
  ASSERT_TRUE(loadVoice(shippedVoice(), voice, error)) << error;
  float aF2 = voice.phones[findPhone(voice, "a")].target[kF2];
  float iF2 = voice.phones[findPhone(voice, "i")].target[kF2];
  auto s = speak("_ 50\na 300 0 110\ni 300 100 110\n_ 50\n");
  auto f2At = [&](int ms) { return formantsOf(s, (ms - 32) * kMs, 1024, kSynthSampleRate)[1]; };
  EXPECT_NEAR(f2At(50 + 120), aF2, aF2 * 0.1);
  EXPECT_NEAR(f2At(50 + 480), iF2, iF2 * 0.1);
  double mid = f2At(50 + 300);
  EXPECT_GT(mid, aF2 + 200);
  EXPECT_LT(mid, iF2 - 200);
}
