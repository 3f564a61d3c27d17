// WAV sizes past 4 GiB: the header writer switches to RF64 instead of
// wrapping the 32-bit fields, and every reader takes the 64-bit size back.
// The samples are few; the size claimed is what is large.
#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "sound/sound_file.h"
#include "sound/wav_buffer.h"
#include "sound/wav_files.h"
#include "sound/wave_player.h"
#include "sound/wave_riff.h"

namespace varlo {
namespace {

using test::Bytes;

constexpr uint64_t kFiveGiB = uint64_t(5) << 30;

class WavHeaderSizeTest : public ::testing::Test {
 protected:
  void SetUp() override { dir = test::freshDirectory("header"); }
  void TearDown() override { std::filesystem::remove_all(dir); }

  // A 44-byte placeholder and the samples, finished claiming dataSize.
  bool writeFinished(const std::string& path, const Bytes& samples, uint64_t dataSize) {
    std::FILE* f = std::fopen(path.c_str(), "w+b");
    Bytes placeholder(44, 0);
    std::fwrite(placeholder.data(), 1, placeholder.size(), f);
    std::fwrite(samples.data(), 1, samples.size(), f);
    bool ok = finishWavFile(f, 22050, 16, 1, dataSize);
    return std::fclose(f) == 0 && ok;
  }

  std::string dir;
};

Bytes countingSamples(size_t n) {
  Bytes b;
  for (size_t i = 0; i < n; ++i) b.push_back(uint8_t(i * 7 + 3));
  return b;
}

TEST_F(WavHeaderSizeTest, SizesUpToTheLimitKeepTheCanonicalHeader) {
  for (uint64_t size : {uint64_t(0), uint64_t(1000), kRiffDataLimit}) {
    std::vector<uint8_t> h = wavHeaderFor(22050, 16, size, 2);
    ASSERT_EQ(h.size(), 44u) << size;
    EXPECT_TRUE(sameTag(h.data(), "RIFF"));
    EXPECT_EQ(readLe32(&h[4]), size + 36) << size;
    EXPECT_EQ(readLe32(&h[40]), size) << size;
  }
}

TEST_F(WavHeaderSizeTest, PastTheLimitTheHeaderIsRf64WithTheWholeSize) {
  for (uint64_t size : {kRiffDataLimit + 1, kFiveGiB}) {
    std::vector<uint8_t> h = wavHeaderFor(22050, 16, size, 2);
    ASSERT_EQ(h.size(), kRf64HeaderBytes);
    EXPECT_TRUE(sameTag(h.data(), "RF64"));
    EXPECT_TRUE(sameTag(&h[12], "ds64"));
    EXPECT_EQ(readLe64(&h[20]), size + kRf64HeaderBytes - 8);
    EXPECT_EQ(readLe64(&h[28]), size);
    EXPECT_EQ(readLe64(&h[36]), size / 4);   // stereo 16-bit frames
    EXPECT_TRUE(sameTag(&h[48], "fmt "));
    EXPECT_EQ(readLe16(&h[48 + 8 + 2]), 2);   // channels
    EXPECT_TRUE(sameTag(&h[72], "data"));
    EXPECT_EQ(readLe32(&h[76]), 0xFFFFFFFFu);
  }
}

TEST_F(WavHeaderSizeTest, FinishingPastTheLimitMovesTheSamplesWholeBehindAnRf64Header) {
  // More than one block of the move, with an odd remainder.
  Bytes samples = countingSamples((size_t(1) << 21) + 123);
  std::string path = dir + "/big.wav";
  ASSERT_TRUE(writeFinished(path, samples, kFiveGiB));
  Bytes file = test::readFile(path);
  ASSERT_EQ(file.size(), kRf64HeaderBytes + samples.size());
  EXPECT_EQ(Bytes(file.begin() + kRf64HeaderBytes, file.end()), samples);

  std::FILE* f = std::fopen(path.c_str(), "rb");
  WaveFormat format;
  uint64_t dataSize = 0;
  ASSERT_TRUE(seekWaveData(f, format, dataSize));
  EXPECT_EQ(dataSize, kFiveGiB);
  EXPECT_EQ(std::ftell(f), long(kRf64HeaderBytes));
  EXPECT_EQ(format.sampleRate, 22050u);
  std::fclose(f);

  WaveInfo info;
  ASSERT_TRUE(readWaveInfo(path, info));
  EXPECT_EQ(info.dataSize, kFiveGiB);
  EXPECT_EQ(info.dataOffset, kRf64HeaderBytes);

  // The player's reader trusts the file's real length over the claim.
  SoundFile sound;
  ASSERT_EQ(openSoundFile(path, SoundFileKind::unknown, sound), SoundFileError::none);
  EXPECT_EQ(sound.frames, samples.size() / 2);
  closeSoundFile(sound);
}

TEST_F(WavHeaderSizeTest, FinishingWithinTheLimitLeavesTheSamplesInPlace) {
  Bytes samples = countingSamples(4000);
  std::string path = dir + "/small.wav";
  ASSERT_TRUE(writeFinished(path, samples, samples.size()));
  Bytes file = test::readFile(path);
  ASSERT_EQ(file.size(), 44 + samples.size());
  EXPECT_EQ(Bytes(file.begin() + 44, file.end()), samples);
  TAmostras loaded;
  ASSERT_TRUE(loaded.load(path));
  EXPECT_EQ(loaded.frameCount(), 2000);
}

TEST_F(WavHeaderSizeTest, AnRf64FileLoadsAndJoinsLikeAnyWav) {
  Bytes samples = test::samples16({100, -200, 300, -400});
  std::string path = dir + "/rf64.wav";
  // The true size, written in the RF64 form.
  std::vector<uint8_t> h = wavHeaderFor(22050, 16, kFiveGiB, 1);
  for (int i = 0; i < 8; ++i) h[28 + size_t(i)] = uint8_t(uint64_t(samples.size()) >> (8 * i));
  Bytes bytes(h.begin(), h.end());
  bytes.insert(bytes.end(), samples.begin(), samples.end());
  test::writeFile(path, bytes);

  TAmostras loaded;
  ASSERT_TRUE(loaded.load(path));
  ASSERT_EQ(loaded.frameCount(), 4);
  EXPECT_EQ(frameLeft(loaded.sampleAt(3)), -400);

  std::string target = dir + "/target.wav";
  test::writeFile(target, test::wavBytes(22050, 16, 1, test::samples16({7})));
  auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  JoinResult joined = joinWav(path, 2, target);
  std::filesystem::current_path(old);
  ASSERT_EQ(joined, JoinResult::done);
  Bytes result = test::readFile(target);
  EXPECT_EQ(Bytes(result.begin() + 44, result.end()), test::samples16({7, 100, -200, 300, -400}));
}

}  // namespace
}  // namespace varlo
