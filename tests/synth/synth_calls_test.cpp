// The synthesizer's calls as the front end uses them, and what they do with
// bad input: unknown phonemes, garbage, absurd values, misuse.
#include <algorithm>
#include <cmath>
#include <string>

#include "synth/signal_analysis.h"
#include "synth/synth_fixture.h"

using namespace varlo;
using namespace varlo::test;

namespace {

bool allZero(const std::vector<int16_t>& s, size_t from, size_t count) {
  return std::all_of(s.begin() + from, s.begin() + std::min(s.size(), from + count), [](int16_t v) { return v == 0; });
}

}  // namespace

TEST_F(SynthTest, UnknownPhonemesFollowTheNoErrorSetting) {
  synthSetNoError(0);
  EXPECT_EQ(synthWrite("a 100\nxq 100\na 100\n"), kSynthErrUnknownPhoneme);
  EXPECT_NE(synthLastError().find("xq"), std::string::npos);
  synthFlush();
  auto strict = readAll();
  ASSERT_EQ(strict.size(), size_t(300 * kMs));  // still spoken, as silence
  EXPECT_TRUE(allZero(strict, 100 * kMs, 100 * kMs));
  EXPECT_GT(rmsOf(strict, 220 * kMs, 50 * kMs), 300);

  synthSetNoError(kSynthNoErrorSilence);
  EXPECT_EQ(synthWrite("a 100\nxq 100\na 100\n"), 3);
  synthFlush();
  EXPECT_EQ(readAll(), strict);
}

TEST_F(SynthTest, GarbageLinesAreReportedAndSkipped) {
  EXPECT_EQ(synthWrite("a 100\n\x01\x02 garbage \xff\na 1O0\nk\n"), kSynthErrSyntax);
  EXPECT_FALSE(synthLastError().empty());
  // A name of any bytes is just an unknown phoneme.
  EXPECT_EQ(synthWrite(std::string("e 100\n\0\0\0 5\n", 12)), 2);
  synthFlush();
  EXPECT_EQ(readAll().size(), size_t(205 * kMs));
  // Lines that are fine report how many phonemes were queued.
  EXPECT_EQ(synthWrite(";casa\nk 80\n\n>\n"), kSynthErrSyntax);
  EXPECT_EQ(synthWrite(";casa\nk 80\na 100 50 230\n"), 2);
}

TEST_F(SynthTest, AbsurdDurationsAndPitchesAreClamped) {
  auto s = speak("_ 10\na 0\na -50\ne 100000 50 20000\ni 50 50 0\n");
  EXPECT_EQ(s.size(), size_t((10 + 30000 + 50) * kMs));
  double f0 = pitchOf(s, 1000 * kMs, 1024, kSynthSampleRate, 700, 1200);
  EXPECT_NEAR(f0, 1000, 30);  // the highest pitch allowed
  s = speak("_ 10\na 300 50 1\n_ 10\n");
  EXPECT_NEAR(pitchOf(s, 100 * kMs, 2048, kSynthSampleRate, 30, 80), 40, 2);
}

TEST_F(SynthTest, OutputDoesNotDependOnHowItIsRead) {
  const std::string text = "_ 50\nk 80\na 145 80 253\nz 60\nax 100 50 230\nsh 90\nin 120 20 210\n_ 50\n";
  auto whole = speak(text);
  auto small = speak(text, 7);
  auto one = speak(text, 1);
  EXPECT_EQ(small, whole);
  EXPECT_EQ(one, whole);
  // Written in pieces that split lines: the same again.
  for (size_t i = 0; i < text.size(); i += 5) synthWrite(text.substr(i, 5));
  synthFlush();
  EXPECT_EQ(readAll(), whole);
}

TEST_F(SynthTest, FlushLineAndFlushCallAgree) {
  auto called = speak("a 100 50 200\ne 100");  // the last line has no end
  ASSERT_EQ(called.size(), size_t(200 * kMs));
  synthWrite("a 100 50 200\ne 100\n#\n");
  EXPECT_EQ(readAll(), called);
}

TEST_F(SynthTest, NothingIsReadyBeforeThePitchAheadIsKnown) {
  // Without points the pitch of these phonemes depends on what comes next.
  EXPECT_EQ(synthWrite("a 100\ne 100\ni 100\no 100\n"), 4);
  int16_t buf[64];
  EXPECT_EQ(synthRead(buf, 64), 0);
  // A point late in the utterance settles the phonemes before it.
  EXPECT_EQ(synthWrite("u 100 100 200\ne 100\n"), 2);
  auto early = readAll();
  EXPECT_GE(early.size(), size_t(300 * kMs));
  EXPECT_LT(early.size(), size_t(600 * kMs));
  synthFlush();
  auto rest = readAll();
  EXPECT_EQ(early.size() + rest.size(), size_t(600 * kMs));
}

TEST_F(SynthTest, EachUtteranceHasItsOwnPitchContour) {
  // After a flush the contour starts again: the second utterance holds its
  // own first point instead of gliding from the first utterance's last.
  auto s = speak("a 300 100 300\n#\na 400 100 150\n");
  EXPECT_NEAR(pitchOf(s, (300 + 20) * kMs, 1024, kSynthSampleRate, 100, 400), 150, 5);
}

TEST_F(SynthTest, ResetDropsEverythingPending) {
  synthWrite("a 100 50 200\ne 100\ni 5");
  synthReset();
  synthWrite("00\n");  // would have completed "i 500"
  synthFlush();
  EXPECT_EQ(readAll().size(), 0u);
  EXPECT_EQ(speak("a 100\n").size(), size_t(100 * kMs));
}

TEST_F(SynthTest, QueueAndLineLengthAreBounded) {
  std::string many;
  for (int i = 0; i < 1000; ++i) many += "a 1\n";
  int result = 0;
  for (int i = 0; i < 70 && result >= 0; ++i) result = synthWrite(many);
  EXPECT_EQ(result, kSynthErrFull);
  synthReset();
  EXPECT_EQ(synthWrite(std::string(10000, 'a') + " 100\ne 100\n"), kSynthErrFull);
  synthFlush();
  EXPECT_EQ(readAll().size(), size_t(100 * kMs));
}

TEST(SynthCalls, EverythingFailsQuietlyWithoutAVoice) {
  synthClose();
  EXPECT_EQ(synthWrite("a 100\n"), kSynthErrNotReady);
  synthFlush();
  int16_t buf[16];
  EXPECT_EQ(synthRead(buf, 16), 0);
  synthReset();
  synthClose();
  ASSERT_EQ(synthInit(shippedVoice()), 0);
  EXPECT_EQ(synthRead(nullptr, 16), 0);
  EXPECT_EQ(synthRead(buf, 0), 0);
  EXPECT_EQ(synthRead(buf, -5), 0);
  synthClose();
}

TEST_F(SynthTest, SurvivesRandomText) {
  // Lines of random phonemes, values and bytes, written and read in random
  // pieces.
  uint32_t seed = 12345;
  auto next = [&] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
  const char* const names[] = {"a", "sh", "r2", "_", "#", ";", "xx", "p", "in", "\x01", "s2", "rr", "wn", "ch"};
  const char* const values[] = {"-5", "0", "0.3", "7", "50", "100", "250", "20000", "1e9", "-1e9", "x", "nan"};
  auto pick = [&](const auto& list) { return std::string(list[next() % std::size(list)]); };
  for (int round = 0; round < 4; ++round) {
    std::string text;
    for (int line = 0; line < 100; ++line) {
      if (next() % 10 == 0) {
        for (int i = next() % 20; i > 0; --i) text += static_cast<char>(next());
      } else {
        text += pick(names) + " " + pick(values);
        for (int i = next() % 5; i > 0; --i) text += " " + pick(values);
      }
      text += next() % 8 ? "\n" : "\r\n";
    }
    for (size_t at = 0; at < text.size();) {
      size_t n = 1 + next() % 200;
      synthWrite(std::string_view(text).substr(at, n));
      at += n;
      std::vector<int16_t> buf(1 + next() % 5000);
      synthRead(buf.data(), int(buf.size()));
    }
    synthFlush();
    readAll();
  }
  // Still sound afterwards.
  synthReset();
  EXPECT_EQ(speak("a 100 50 200\n").size(), size_t(100 * kMs));
}
