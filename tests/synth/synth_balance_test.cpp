// The spectral balance of voiced speech: the shipped voice keeps its highs
// (F6 in the cascade and the higher-pole correction), and the correction
// lifts them without changing the level of the low formants.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "synth/signal_analysis.h"
#include "synth/synth_fixture.h"

using namespace varlo;
using namespace varlo::test;

namespace {

// Energy between lo and hi Hz of a Hann-windowed stretch, by direct DFT.
double bandEnergy(const std::vector<int16_t>& s, size_t from, size_t count, double lo, double hi) {
  double sum = 0;
  const double rate = kSynthSampleRate;
  for (double hz = lo; hz < hi; hz += rate / double(count)) {
    double re = 0, im = 0;
    for (size_t i = 0; i < count; ++i) {
      double w = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(count - 1));
      re += w * s[from + i] * std::cos(2 * M_PI * hz * double(i) / rate);
      im -= w * s[from + i] * std::sin(2 * M_PI * hz * double(i) / rate);
    }
    sum += re * re + im * im;
  }
  return sum;
}

struct Bands {
  double low = 0, at2k = 0, at4k = 0;  // octaves 500-1000 Hz, around 2 and 4 kHz
};

// The octave bands summed over the steady middles of the oral vowels.
Bands vowelBands() {
  Bands b;
  for (const char* v : {"a", "e", "eh", "i", "o", "oh", "u", "ax"}) {
    auto s = speak("_ 50\n" + std::string(v) + " 300 0 220 100 220\n_ 50\n");
    const size_t from = 150 * kMs, count = 1024;
    b.low += bandEnergy(s, from, count, 500, 1000);
    b.at2k += bandEnergy(s, from, count, 1414, 2828);
    b.at4k += bandEnergy(s, from, count, 2828, 5657);
  }
  return b;
}

double db(double ratio) { return 10 * std::log10(ratio); }

class SynthBalance : public SynthTest {
 protected:
  std::string path = ::testing::TempDir() + "synth_balance_test_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".voz";
  void TearDown() override {
    std::filesystem::remove(path);
    SynthTest::TearDown();
  }
};

}  // namespace

TEST_F(SynthBalance, VowelsKeepTheirHighs) {
  Bands b = vowelBands();
  EXPECT_GE(db(b.at2k / b.low), -8) << "2 kHz octave re 500-1000 Hz";
  EXPECT_GE(db(b.at4k / b.low), -14) << "4 kHz octave re 500-1000 Hz";
}

TEST_F(SynthBalance, TheCorrectionLiftsHighsAndKeepsTheLowLevel) {
  Bands shipped = vowelBands();
  // The same voice without the correction.
  std::ifstream in(shippedVoice());
  std::stringstream text;
  text << in.rdbuf();
  std::string voice = text.str();
  size_t at = voice.find(" emphasis=");
  ASSERT_NE(at, std::string::npos);
  voice.replace(at, voice.find_first_of(" \n", at + 1) - at, " emphasis=0");
  std::ofstream(path) << voice;
  ASSERT_EQ(synthInit(path), 0) << synthLastError();
  Bands flat = vowelBands();
  EXPECT_NEAR(db(shipped.low / flat.low), 0, 2);
  EXPECT_GT(db(shipped.at2k / flat.at2k), 1.5);
  EXPECT_GT(db(shipped.at4k / flat.at4k), 4);
}
