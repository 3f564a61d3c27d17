// The diphone synthesizer on small made-up data: which segments a unit
// string asks for, the fallbacks, the timing values, the fixed pauses, the
// output image, and data files that are missing or damaged.
#include "engines/diphone_voice.h"

#include <gtest/gtest.h>

#include <numeric>

#include "voice/voice_test_util.h"

namespace varlo {
namespace {

class DiphoneVoice : public ::testing::Test {
 protected:
  void SetUp() override {
    root = test::makeVoiceDir("varlo-diphones");
    letters = root / "letras";
    segments = root / "difones";
    test::fs::create_directories(letters);
    test::fs::create_directories(segments);
    test::writeText(segments / "regras.rgr", "(A)=a |\n");
    test::writeText(segments / "portug.exc", "");
    test::writeWav(letters / "_99.wav", 11025, 8, 1, 777, 99);
    diphoneTiming() = DiphoneTiming{0, 0, 0};
    setDiphoneOutput([this](const uint8_t* image, size_t size) {
      ASSERT_GE(size, kDiphoneHeaderBytes);
      ASSERT_LE(size, kDiphoneImageBytes);
      images.push_back(size);
      samples.insert(samples.end(), image + kDiphoneHeaderBytes, image + size);
    });
  }
  void TearDown() override {
    closeDiphoneVoice();
    setDiphoneOutput(nullptr);
    diphoneTiming() = DiphoneTiming{};
    test::fs::remove_all(root);
  }
  int load() { return loadDiphoneVoice(letters.string(), segments.string()); }
  // Segments of 1000 samples each, one value per name.
  void voice(const std::vector<std::string>& names) {
    test::writeSegments(segments, names, std::vector<uint16_t>(names.size(), 1000));
    ASSERT_EQ(load(), 0);
  }
  // What was heard, as runs of (value, count); noise shows as value 0.
  std::vector<std::pair<int, size_t>> runs() const {
    std::vector<std::pair<int, size_t>> out;
    for (uint8_t s : samples) {
      int v = s >= 140 || s == 128 || s == 99 ? s : 0;
      if (out.empty() || out.back().first != v) out.push_back({v, 0});
      out.back().second++;
    }
    return out;
  }
  using Runs = std::vector<std::pair<int, size_t>>;
  test::fs::path root, letters, segments;
  std::vector<uint8_t> samples;
  std::vector<size_t> images;
};

TEST_F(DiphoneVoice, LoadReportsWhatIsMissing) {
  test::writeSegments(segments, {"$A"}, {10});
  EXPECT_EQ(loadDiphoneVoice((root / "none").string(), segments.string()), 1);
  EXPECT_EQ(loadDiphoneVoice(letters.string(), (root / "none").string()), 1);
  test::fs::remove(segments / "DIFONES2.DIF");
  EXPECT_EQ(load(), 1);
  test::fs::remove(segments / "portug.exc");
  EXPECT_EQ(load(), 2);
  EXPECT_FALSE(diphoneVoiceLoaded());
}

TEST_F(DiphoneVoice, SpelledLetterPlaysItsLetterFile) {
  voice({"$A"});
  speakUnits("[ /_c]", false);
  EXPECT_EQ(runs(), (Runs{{99, 777}}));
}

TEST_F(DiphoneVoice, ChunksSplitIntoUnitsWithTheirTimeFactors) {
  voice({"$S", "$A", "$P", "$KA", "$LA", "$O", "$B"});   // values 140, 141, ...
  speakUnits("[kas]", false);   // ka and s, both whole
  EXPECT_EQ(runs(), (Runs{{143, 1000}, {140, 1000}}));
  samples.clear();
  speakUnits("[as]", false);    // a at 0.7, then s
  EXPECT_EQ(runs(), (Runs{{141, 700}, {140, 1000}}));
  samples.clear();
  speakUnits("[pla]", false);   // p, then la
  EXPECT_EQ(runs(), (Runs{{142, 1000}, {144, 1000}}));
  samples.clear();
  speakUnits("[bo]", false);    // $BO is missing: $B at 0.9, then $O
  EXPECT_EQ(runs(), (Runs{{146, 900}, {145, 1000}}));
}

TEST_F(DiphoneVoice, NasalAndClosedVowelsFallBackToShorterNames) {
  voice({"$NN", "$KACIRC", "$A", "$K"});
  speakUnits("[ka~]", false);   // $KATIL: $KACIRC at 0.9 and the nasal $NN at 0.9
  EXPECT_EQ(runs(), (Runs{{141, 900}, {140, 900}}));
  samples.clear();
  speakUnits("[ke^]", false);   // $KECIRC: $K at 0.9, then $ECIRC, which is missing
  EXPECT_EQ(runs(), (Runs{{143, 900}}));
}

TEST_F(DiphoneVoice, ShortNamesFoundNowhereBecomeNoise) {
  voice({"$A"});
  speakUnits("[x]", false);
  ASSERT_EQ(samples.size(), 300u);
  for (uint8_t s : samples) EXPECT_TRUE(s >= 88 && s <= 167);
  samples.clear();
  speakUnits("[xyzzy]", false);   // long names without a fallback say nothing
  EXPECT_TRUE(samples.empty() || samples.size() % 300 == 0);
}

TEST_F(DiphoneVoice, PunctuationChunksArePausesUnlessSuppressed) {
  voice({"$A"});
  speakUnits("[ /_,]", false);
  EXPECT_EQ(runs(), (Runs{{128, 4000}}));
  samples.clear();
  speakUnits("[ /_.][ /_;][ /_:]", false);
  EXPECT_EQ(runs(), (Runs{{128, 22000}}));
  samples.clear();
  speakUnits("[ /_,]", true);     // no letter file for the comma here
  EXPECT_TRUE(samples.empty());
}

TEST_F(DiphoneVoice, CutShortensUnstressedSegmentsDownToWhatTheyKeep) {
  voice({"$KA", "$A"});
  diphoneTiming() = DiphoneTiming{400, 0, 0};
  speakUnits("[ka]", false);
  EXPECT_EQ(runs(), (Runs{{140, 600}}));
  samples.clear();
  speakUnits("[kA]", false);      // stressed: kept whole
  EXPECT_EQ(runs(), (Runs{{140, 1000}}));
  samples.clear();
  diphoneTiming() = DiphoneTiming{400, 700, 0};
  speakUnits("[ka]", false);
  EXPECT_EQ(runs(), (Runs{{140, 700}}));
  samples.clear();
  diphoneTiming() = DiphoneTiming{400, 5000, 0};
  speakUnits("[ka]", false);      // never more than was recorded
  EXPECT_EQ(runs(), (Runs{{140, 1000}}));
  samples.clear();
  diphoneTiming() = DiphoneTiming{400, 0, 0};
  speakUnits("[a]", false);       // names under 3 characters are not cut
  EXPECT_EQ(runs(), (Runs{{141, 1000}}));
}

TEST_F(DiphoneVoice, WordGapFollowsEveryWord) {
  voice({"$KA"});
  diphoneTiming().wordGap = 100;
  speakUnits("[ka][ka]", false);
  EXPECT_EQ(runs(), (Runs{{140, 1000}, {128, 100}, {140, 1000}, {128, 100}}));
}

TEST_F(DiphoneVoice, LongSpeechIsPlayedInFullImages) {
  test::writeSegments(segments, {"$KA"}, {60000});
  ASSERT_EQ(load(), 0);
  speakUnits("[ka][ka][ka]", false);
  EXPECT_EQ(samples.size(), 180000u);
  EXPECT_GE(images.size(), 3u);
}

TEST_F(DiphoneVoice, DamagedDataIsReadSafely) {
  // Out of order, with a cut record at the end, one record pointing past
  // the end of the data file.
  std::string index;
  auto record = [&index](const std::string& name, uint16_t length, uint32_t offset) {
    uint8_t r[kIndexRecordBytes];
    writeIndexRecord(r, name, length, offset);
    index.append(reinterpret_cast<char*>(r), sizeof r);
  };
  record("$ZO", 100, 0);
  record("$A", 100, 100);
  record("$KA", 5000, 150);
  test::writeText(segments / "DIFONES2.IND", index + "\x03$XY");
  test::writeText(segments / "DIFONES2.DIF", std::string(200, char(150)));
  test::writeWav(letters / "_98.wav", 22050, 16, 1, 100, 200);   // wrong format
  test::writeWav(letters / "_97.wav", 11025, 8, 1, 64001, 200);  // too long
  ASSERT_EQ(load(), 0);
  speakUnits("[zo]", false);
  EXPECT_EQ(samples.size(), 100u);
  samples.clear();
  speakUnits("[ka]", false);
  EXPECT_EQ(samples.size(), 50u);
  samples.clear();
  speakUnits("[ /_b][ /_a]", false);
  EXPECT_TRUE(samples.empty());
  samples.clear();
  speakUnits(std::string(5000, '[') + std::string(3000, '/') + "_", false);
  speakUnits(std::string(300, 'k'), false);
}

TEST(DiphoneIndex, NamesAreOrderedByLengthThenBytes) {
  EXPECT_TRUE(segmentNameBefore("$Z", "$AA"));
  EXPECT_TRUE(segmentNameBefore("$AA", "$AB"));
  EXPECT_FALSE(segmentNameBefore("$AB", "$AB"));
  uint8_t r[kIndexRecordBytes];
  writeIndexRecord(r, "$TOOLONGNAME", 0x1234, 0x01020304);
  EXPECT_EQ(r[0], 8);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(r + 1), 8), "$TOOLONG");
  EXPECT_EQ(r[9] | r[10] << 8, 0x1234);
  EXPECT_EQ(r[11], 4);
  EXPECT_EQ(r[14], 1);
}

}  // namespace
}  // namespace varlo
