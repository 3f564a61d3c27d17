// The two spellings of cardinal numbers: written (Olira) and recorded voice.
#include "base/number_words.h"

#include <gtest/gtest.h>

using namespace varlo;

namespace {

constexpr NumberSpelling kWritten{.accents = true, .eBeforeEveryLastGroup = true};
constexpr NumberSpelling kRecorded{.accents = false, .eBeforeEveryLastGroup = false};

}  // namespace

TEST(NumberWords, SpellingsDifferOnlyInAccentsAndTheLastE) {
  EXPECT_EQ(cardinalWords(1353, kWritten), "mil e trezentos e cinq\xFC" "enta e tr\xEAs");
  EXPECT_EQ(cardinalWords(1353, kRecorded), "mil trezentos e cinquenta e tres");
  // Below a hundred or a whole hundred, both join the last group with "e".
  for (NumberSpelling s : {kWritten, kRecorded}) {
    EXPECT_EQ(cardinalWords(2500, s), "dois mil e quinhentos");
    EXPECT_EQ(cardinalWords(2030, s), "dois mil e trinta");
  }
  // Dropping the accents leaves the tilde of "milhões".
  EXPECT_EQ(cardinalWords(3000000, kRecorded), "tres milh\xF5" "es ");
}

TEST(NumberWords, BeyondFifteenDigitsIsZero) {
  for (NumberSpelling s : {kWritten, kRecorded}) {
    EXPECT_EQ(cardinalWords(1'000'000'000'000'000ULL, s), "zero");
    EXPECT_EQ(cardinalWords(1'000'000'000'000ULL, s), "um trilh\xE3o ");
  }
}
