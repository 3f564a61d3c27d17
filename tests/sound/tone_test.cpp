// The tone generator: the square wave it plays, looping until stopped, and
// giving way to other sound.
#include "sound/player_fixture.h"
#include "sound/tone_generator.h"

namespace varlo {
namespace {

using test::Bytes;
using Kind = CaptureRecord::Kind;
using Tone = test::PlayerTest;

size_t countOf(const std::vector<CaptureRecord>& rs, Kind kind) {
  size_t n = 0;
  for (auto& r : rs) n += r.kind == kind;
  return n;
}

TEST_F(Tone, SquareWaveLoopsUntilStopped) {
  startTone(440);
  pause(30);
  EXPECT_FALSE(isPlaying());   // a tone is not sound anyone waits for
  auto rs = records();
  ASSERT_EQ(countOf(rs, Kind::open), 1u);
  EXPECT_EQ(first(Kind::open, rs)->format, (AudioFormat{11025, 8, 1}));
  Bytes heard = capturedBytes(rs);
  ASSERT_GE(heard.size(), 11026u + 8192u);   // more than one pass is queued

  // 25 samples a period; periods start at k * 11025 div 440: 0, 25, 50, ...
  Bytes start(heard.begin(), heard.begin() + 63);
  Bytes expected;
  for (int period = 0; period < 2; ++period) {
    expected.insert(expected.end(), 13, 96);
    expected.insert(expected.end(), 12, 160);
  }
  expected.insert(expected.end(), 13, 96);
  EXPECT_EQ(start, expected);
  // Periods start while k * 11025 div 440 <= 11000: the last at k = 439
  // (10999), running to 11025, where the closing 128 sits; then the wave
  // starts again.
  EXPECT_EQ(heard[10998], 160);
  EXPECT_EQ(heard[10999], 96);
  EXPECT_EQ(heard[11024], 160);
  EXPECT_EQ(heard[11025], 128);
  EXPECT_EQ(Bytes(heard.begin() + 11026, heard.begin() + 11089), expected);

  stopTone();
  size_t playsAtStop = countOf(records(), Kind::play);
  pause(30);
  rs = records();
  EXPECT_EQ(countOf(rs, Kind::stop), 1u);
  EXPECT_EQ(countOf(rs, Kind::play), playsAtStop);   // nothing after the stop
}

TEST_F(Tone, OddFrequencyPeriodsAndLength) {
  startTone(1000);   // 11 samples a period; starts 0, 11, 22, 33, 44, 55 (55.125)
  pause(10);
  Bytes heard = capturedBytes(records());
  ASSERT_GT(heard.size(), 60u);
  EXPECT_EQ(Bytes(heard.begin(), heard.begin() + 12),
            (Bytes{96, 96, 96, 96, 96, 96, 160, 160, 160, 160, 160, 96}));
  // Periods start while k * 11025 div 1000 <= 11014: the last at k = 999
  // (11013), ending at 11025, where the closing sample sits.
  ASSERT_GT(heard.size(), 11030u);
  EXPECT_EQ(heard[11024], 160);
  EXPECT_EQ(heard[11025], 128);
  EXPECT_EQ(heard[11026], 96);
  stopTone();
}

TEST_F(Tone, OtherSoundReplacesTheTone) {
  startTone(800);
  pause(10);
  Bytes speech(9600, 7);   // 50 ms
  EXPECT_EQ(playSamples(speech.data(), speech.size(), 48000, 1, 16), 0);
  auto rs = records();
  ASSERT_EQ(countOf(rs, Kind::open), 2u);
  EXPECT_EQ(countOf(rs, Kind::stop), 1u);
  EXPECT_EQ(rs.back().kind, Kind::play);
  EXPECT_EQ(rs.back().format, (AudioFormat{48000, 16, 1}));
  stopTone();   // the speech that replaced the tone is not cut
  EXPECT_TRUE(isPlaying());
  waitWhilePlaying();
  rs = records();
  EXPECT_EQ(countOf(rs, Kind::stop), 1u);
  Bytes heard = heardBytes(rs);
  ASSERT_GE(heard.size(), speech.size());
  EXPECT_EQ(Bytes(heard.end() - 9600, heard.end()), speech);
}

}  // namespace
}  // namespace varlo
