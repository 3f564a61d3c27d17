// The WAV sample buffer: file formats in and out, sample values, growth,
// resampling and channel conversion.
#include "sound/wav_buffer.h"

#include <gtest/gtest.h>

#include "sound/wav_files.h"

namespace varlo {
namespace {

using test::Bytes;

class WavBufferTest : public ::testing::Test {
 protected:
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string dir = test::freshDirectory("buffer");
  std::string path(const char* name) { return dir + "/" + name; }
};

TEST(WavHeader, CanonicalFortyFourBytes) {
  auto h = buildWavHeader(22050, 16, 1000, 2);
  Bytes expected = test::wavBytes(22050, 16, 2, Bytes(1000, 0));
  expected.resize(44);
  EXPECT_EQ(Bytes(h.begin(), h.end()), expected);
  EXPECT_EQ(h[4] | (h[5] << 8), 1036);       // data + 36
  EXPECT_EQ(h[28] | (h[29] << 8) | (h[30] << 16), 88200);  // 2 x 2 x 22050
  EXPECT_EQ(h[32], 4);
}

TEST_F(WavBufferTest, EightBitBytesLoadAsSixteenBitValues) {
  test::writeFile(path("a.wav"), test::wavBytes(11025, 8, 1, {0, 128, 255, 1}));
  TAmostras a;
  ASSERT_TRUE(a.load(path("a.wav")));
  EXPECT_EQ(a.frameCount(), 4);
  EXPECT_EQ(a.rate(), 11025);
  EXPECT_EQ(a.bits(), 8);
  EXPECT_EQ(frameLeft(a.sampleAt(0)), -32768);
  EXPECT_EQ(frameLeft(a.sampleAt(1)), 0);
  EXPECT_EQ(frameLeft(a.sampleAt(2)), 32512);
  EXPECT_EQ(frameRight(a.sampleAt(3)), -32512);   // mono: both halves
}

TEST_F(WavBufferTest, SavingMinusOneAsEightBit) {
  TAmostras mono(1, 2, 8, 8000);
  mono.setSample(0, makeFrame(-1, -1));
  mono.setSample(1, makeFrame(300, -300));   // averages to 0
  ASSERT_TRUE(mono.save(path("m.wav")));
  Bytes m = test::readFile(path("m.wav"));
  ASSERT_EQ(m.size(), 46u);
  EXPECT_EQ(m[44], 128);
  EXPECT_EQ(m[45], 128);

  TAmostras stereo(2, 1, 8, 8000);
  stereo.setSample(0, makeFrame(-1, 256));
  ASSERT_TRUE(stereo.save(path("s.wav")));
  Bytes s = test::readFile(path("s.wav"));
  ASSERT_EQ(s.size(), 46u);
  EXPECT_EQ(s[44], 127);
  EXPECT_EQ(s[45], 129);
}

TEST_F(WavBufferTest, SixteenBitStereoRoundTrip) {
  std::vector<int16_t> values{1, -2, 32767, -32768, 1000, -1000};
  test::writeFile(path("in.wav"), test::wavBytes(44100, 16, 2, test::samples16(values)));
  TAmostras a;
  ASSERT_TRUE(a.load(path("in.wav")));
  EXPECT_EQ(a.frameCount(), 3);
  EXPECT_EQ(a.sampleAt(1), makeFrame(32767, -32768));
  ASSERT_TRUE(a.save(path("out.wav")));
  EXPECT_EQ(test::readFile(path("out.wav")), test::readFile(path("in.wav")));
}

TEST_F(WavBufferTest, RefusedAndEmptyFiles) {
  TAmostras a;
  // Zero-size data chunk: an empty buffer, loaded successfully.
  test::writeFile(path("empty.wav"), test::wavBytes(22050, 16, 1, {}));
  EXPECT_TRUE(a.load(path("empty.wav")));
  EXPECT_EQ(a.frameCount(), 0);

  // A chunk other than "fmt " right after the RIFF header.
  Bytes listFirst;
  test::putTag(listFirst, "RIFF");
  test::put32(listFirst, 40);
  test::putTag(listFirst, "WAVE");
  test::putChunk(listFirst, "LIST", Bytes(4, 'x'));
  test::putChunk(listFirst, "fmt ", test::fmtBody(22050, 16, 1));
  test::writeFile(path("list.wav"), listFirst);
  EXPECT_FALSE(a.load(path("list.wav")));

  test::writeFile(path("float.wav"), test::wavBytes(22050, 32, 1, Bytes(8), {}, 3));
  EXPECT_FALSE(a.load(path("float.wav")));
  test::writeFile(path("24bit.wav"), test::wavBytes(22050, 24, 1, Bytes(9)));
  EXPECT_FALSE(a.load(path("24bit.wav")));
  EXPECT_FALSE(a.load(path("missing.wav")));

  // Data shorter than its chunk says: the samples that are there, and false.
  Bytes cut = test::wavBytes(8000, 16, 1, test::samples16({5, 6, 7, 8}));
  cut.resize(cut.size() - 3);
  test::writeFile(path("cut.wav"), cut);
  EXPECT_FALSE(a.load(path("cut.wav")));
  EXPECT_EQ(frameLeft(a.sampleAt(0)), 5);

  // A huge size field does not make the buffer huge.
  Bytes lie = test::wavBytes(8000, 16, 1, test::samples16({1, 2}));
  for (int i = 40; i < 44; ++i) lie[size_t(i)] = 0xFF;
  test::writeFile(path("lie.wav"), lie);
  EXPECT_FALSE(a.load(path("lie.wav")));
  EXPECT_LE(a.capacity(), 30000);
}

TEST(WavBuffer, SampleAccessAndGrowth) {
  TAmostras a;
  EXPECT_EQ(a.frameCount(), 0);
  a.setSample(-1, makeFrame(5, 5));
  EXPECT_EQ(a.frameCount(), 0);
  a.setSample(10, makeFrame(101, -100));   // mono keeps the average, toward zero
  EXPECT_EQ(a.frameCount(), 11);
  EXPECT_EQ(a.capacity(), 30000);
  EXPECT_EQ(frameLeft(a.sampleAt(10)), 0);
  a.setSample(9, makeFrame(-3, 0));
  EXPECT_EQ(frameLeft(a.sampleAt(9)), -1);
  EXPECT_EQ(a.sampleAt(-1), kSilentFrame);
  EXPECT_EQ(a.sampleAt(a.frameCount()), kSilentFrame);
  EXPECT_EQ(a.sampleAt(3), kSilentFrame);
  a.setSample(30000, makeFrame(7, 7));
  EXPECT_EQ(a.capacity(), 36000);
  EXPECT_EQ(frameLeft(a.sampleAt(30000)), 7);

  a.setRate(12345);
  EXPECT_EQ(a.rate(), 22050);
  a.setRate(48000);
  EXPECT_EQ(a.rate(), 48000);

  TAmostras limited;
  limited.setSampleLimit(100);
  limited.setSample(0, makeFrame(1, 1));   // growth to 30000 frames is refused
  EXPECT_TRUE(limited.allocationFailed());
  EXPECT_EQ(limited.frameCount(), 0);
}

TEST(WavBuffer, ChannelConversion) {
  TAmostras a(2, 2, 16, 22050);
  a.setSample(0, makeFrame(-3, -3));
  a.setSample(1, makeFrame(32767, 32767));
  a.setChannels(1);
  EXPECT_EQ(a.channels(), 1);
  EXPECT_EQ(a.frameCount(), 2);
  EXPECT_EQ(frameLeft(a.sampleAt(0)), -2);     // -1 + -1, each half toward zero
  EXPECT_EQ(frameLeft(a.sampleAt(1)), 32766);
  a.setSample(2, makeFrame(4, 4));             // still writable after shrinking
  a.setChannels(2);
  EXPECT_EQ(a.channels(), 2);
  EXPECT_EQ(a.sampleAt(0), makeFrame(-2, -2));
  EXPECT_EQ(a.sampleAt(2), makeFrame(4, 4));
  EXPECT_EQ(a.samples().size(), 6u);
}

TEST(WavBuffer, ResamplingInterpolatesBetweenFrames) {
  TAmostras source(1, 4, 16, 11025);
  for (int i = 0; i < 4; ++i) source.setSample(i, makeFrame(int16_t(i * 100), int16_t(i * 100)));

  TAmostras up;
  up.resampleFrom(source, 22050);
  EXPECT_EQ(up.rate(), 22050);
  ASSERT_EQ(up.frameCount(), 8);
  std::vector<int> expected{0, 50, 100, 150, 200, 250, 300, 0};   // last: silence
  for (int k = 0; k < 8; ++k) EXPECT_EQ(frameLeft(up.sampleAt(k)), expected[size_t(k)]) << k;

  TAmostras down;
  down.resampleFrom(source, 8000);   // ratio 1.378125: 2 frames
  ASSERT_EQ(down.frameCount(), 2);
  EXPECT_EQ(frameLeft(down.sampleAt(0)), 0);

  TAmostras same;
  same.resampleFrom(source, 11025);
  ASSERT_EQ(same.frameCount(), 4);
  EXPECT_EQ(frameLeft(same.sampleAt(3)), 300);

  // Negative interpolation truncates toward zero.
  TAmostras neg(1, 2, 16, 8000);
  neg.setSample(0, makeFrame(0, 0));
  neg.setSample(1, makeFrame(-3, -3));
  TAmostras twice;
  twice.resampleFrom(neg, 16000);
  EXPECT_EQ(frameLeft(twice.sampleAt(1)), -1);

  // An unaccepted target rate leaves the audio as it was: a broken header's
  // rate of millions must not make millions of frames.
  for (int rate : {12000, 268492612}) {
    TAmostras odd;
    odd.resampleFrom(source, rate);
    EXPECT_EQ(odd.rate(), 11025);
    EXPECT_EQ(odd.frameCount(), 4) << rate;
    EXPECT_EQ(frameLeft(odd.sampleAt(3)), 300);
  }
}

TEST(WavBuffer, StereoResamplingKeepsChannelsApart) {
  TAmostras source(2, 2, 16, 22050);
  source.setSample(0, makeFrame(100, -100));
  source.setSample(1, makeFrame(200, -200));
  TAmostras up;
  up.resampleFrom(source, 44100);
  ASSERT_EQ(up.frameCount(), 4);
  EXPECT_EQ(up.sampleAt(1), makeFrame(150, -150));
  EXPECT_EQ(up.sampleAt(2), makeFrame(200, -200));
  EXPECT_EQ(up.sampleAt(3), kSilentFrame);
}

}  // namespace
}  // namespace varlo
