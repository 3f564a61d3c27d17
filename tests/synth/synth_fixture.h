// Shared set-up of the synthesizer's tests: the shipped voice and a helper
// that renders phoneme lines to samples.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engines/synth.h"

namespace varlo::test {

inline std::string shippedVoice() { return std::string(VARLO_SOURCE_DIR) + "/data/olira/br4"; }

// Reads everything ready, in blocks of the given size.
inline std::vector<int16_t> readAll(int block = 64000) {
  std::vector<int16_t> out, buf(block);
  for (int n; (n = synthRead(buf.data(), block)) > 0;) out.insert(out.end(), buf.begin(), buf.begin() + n);
  return out;
}

inline std::vector<int16_t> speak(std::string_view lines, int block = 64000) {
  synthWrite(lines);
  synthFlush();
  return readAll(block);
}

class SynthTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(synthInit(shippedVoice()), 0) << synthLastError();
    synthSetNoError(kSynthNoErrorSilence);
  }
  void TearDown() override { synthClose(); }
};

constexpr int kMs = kSynthSampleRate / 1000;

}  // namespace varlo::test
