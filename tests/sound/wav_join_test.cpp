// Joining WAV files: format of the first file, conversion of the others
// without touching them, messages, and a write failure that ends the join
// without leaving a short result behind.
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "sound/wav_buffer.h"
#include "console/console.h"
#include "base/codepage.h"
#include "sound/wav_files.h"

namespace varlo {
namespace {

using test::Bytes;

class WavJoinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = test::freshDirectory("join");
    old = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    clearWindow();
  }
  void TearDown() override {
    std::filesystem::current_path(old);
    std::filesystem::remove_all(dir);
  }

  static Bytes dataOf(const Bytes& wav) { return Bytes(wav.begin() + 44, wav.end()); }
  static bool screenHas(const char* utf8) {
    return screenDump().find(utf8ToCp1252(utf8)) != std::string::npos;
  }

  std::string dir;
  std::filesystem::path old;
};

TEST_F(WavJoinTest, EffectOfAnotherFormatIsConvertedToTheFirstFilesFormat) {
  Bytes speech = test::samples16({1000, -1000, 7});
  test::writeFile("temp.wav", test::wavBytes(22050, 16, 1, speech));
  // 44100 Hz stereo 8-bit: six frames become three at 22050 Hz, mixed down.
  Bytes effect = test::wavBytes(44100, 8, 2, {192, 192, 1, 2, 0, 255, 9, 9, 128, 128, 7, 7});
  test::writeFile("porta.wav", effect);

  EXPECT_EQ(joinWav("porta.wav", 2), JoinResult::done);

  Bytes joined = test::readFile("temp.wav");
  Bytes expected = speech;
  Bytes converted = test::samples16({16384, -128, 0});   // last frame: silence
  expected.insert(expected.end(), converted.begin(), converted.end());
  auto header = buildWavHeader(22050, 16, uint32_t(expected.size()), 1);
  ASSERT_EQ(joined.size(), 44 + expected.size());
  EXPECT_EQ(Bytes(joined.begin(), joined.begin() + 44), Bytes(header.begin(), header.end()));
  EXPECT_EQ(dataOf(joined), expected);
  EXPECT_EQ(test::readFile("porta.wav"), effect);   // the user's file is untouched
  EXPECT_FALSE(std::filesystem::exists("ARQ_WAV.$$$"));
}

TEST_F(WavJoinTest, PositionOnePutsTheFileFirstAndDecidesTheFormat) {
  test::writeFile("temp.wav", test::wavBytes(8000, 8, 1, {10, 20, 30}));
  test::writeFile("first.wav", test::wavBytes(8000, 16, 1, test::samples16({-5, 300})));
  EXPECT_EQ(joinWav("first.wav", 1), JoinResult::done);
  Bytes joined = test::readFile("temp.wav");
  EXPECT_EQ(dataOf(joined), test::samples16({-5, 300, (10 - 128) * 256, (20 - 128) * 256,
                                             (30 - 128) * 256}));
  EXPECT_EQ(joined[34], 16);
}

TEST_F(WavJoinTest, SameFormatIsCopiedWholeFramesOnly) {
  test::writeFile("temp.wav", test::wavBytes(11025, 16, 1, test::samples16({1, 2})));
  Bytes odd = test::wavBytes(11025, 16, 1, {3, 0, 4, 0, 5});   // half a sample at the end
  test::writeFile("odd.wav", odd);
  EXPECT_EQ(joinWav("odd.wav", 2), JoinResult::done);
  EXPECT_EQ(dataOf(test::readFile("temp.wav")), test::samples16({1, 2, 3, 4}));
}

TEST_F(WavJoinTest, MissingOrUnusableEffectIsSaidAndLeftOut) {
  Bytes speech = test::samples16({4, 5, 6});
  test::writeFile("temp.wav", test::wavBytes(22050, 16, 1, speech));
  EXPECT_EQ(joinWav("nada.wav", 2), JoinResult::done);
  EXPECT_TRUE(screenHas("Arquivo não encontrado: nada.wav"));
  EXPECT_EQ(dataOf(test::readFile("temp.wav")), speech);

  test::writeFile("texto.wav", Bytes{'o', 'l', 'a'});
  EXPECT_EQ(joinWav("texto.wav", 2), JoinResult::done);
  EXPECT_TRUE(screenHas("Desculpe, não pude inserir o efeito desejado"));
  EXPECT_EQ(dataOf(test::readFile("temp.wav")), speech);

  // A rate that cannot be reached is not appended at a wrong speed.
  test::writeFile("temp.wav", test::wavBytes(12000, 16, 1, speech));
  test::writeFile("efeito.wav", test::wavBytes(8000, 16, 1, test::samples16({9, 9, 9, 9})));
  EXPECT_EQ(joinWav("efeito.wav", 2), JoinResult::done);
  EXPECT_EQ(dataOf(test::readFile("temp.wav")), speech);
}

TEST_F(WavJoinTest, ScratchFileThatCannotBeCreatedLeavesTheTargetAlone) {
  Bytes temp = test::wavBytes(22050, 16, 1, test::samples16({1, 2, 3}));
  test::writeFile("temp.wav", temp);
  test::writeFile("e.wav", test::wavBytes(22050, 16, 1, test::samples16({4})));
  std::filesystem::create_directory("ARQ_WAV.$$$");
  EXPECT_EQ(joinWav("e.wav", 2), JoinResult::skipped);
  EXPECT_TRUE(screenHas("Desculpe, não pude inserir o efeito desejado"));
  EXPECT_EQ(test::readFile("temp.wav"), temp);
}

// A file size limit makes writes fail the way a full disk does, part way
// through the appended audio.
TEST_F(WavJoinTest, WriteFailureEndsTheJoinWithoutAShortResult) {
  Bytes temp = test::wavBytes(22050, 16, 1, Bytes(60000, 1));
  test::writeFile("temp.wav", temp);
  test::writeFile("e.wav", test::wavBytes(22050, 16, 1, Bytes(60000, 2)));
  signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 90000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  JoinResult result = joinWav("e.wav", 2);
  setrlimit(RLIMIT_FSIZE, &saved);

  EXPECT_EQ(result, JoinResult::diskFull);
  EXPECT_TRUE(screenHas("Erro ao gravar arquivo, programa cancelado"));
  EXPECT_EQ(test::readFile("temp.wav"), temp);
  EXPECT_FALSE(std::filesystem::exists("ARQ_WAV.$$$"));
}

TEST_F(WavJoinTest, ConformRewritesInPlaceOrLeavesTheFileWhole) {
  test::writeFile("a.wav", test::wavBytes(11025, 8, 1, {128, 255}));
  EXPECT_TRUE(conformWav("a.wav", 22050, 16, 2));
  Bytes a = test::readFile("a.wav");
  EXPECT_EQ(Bytes(a.begin(), a.begin() + 44),
            [] { auto h = buildWavHeader(22050, 16, 16, 2); return Bytes(h.begin(), h.end()); }());
  // 0, the midpoint, 32512, then the silent last frame; both channels alike.
  EXPECT_EQ(dataOf(a), test::samples16({0, 0, 16256, 16256, 32512, 32512, 0, 0}));

  Bytes text{'n', 'a', 'o'};
  test::writeFile("b.wav", text);
  EXPECT_FALSE(conformWav("b.wav", 22050, 16, 1));
  EXPECT_TRUE(screenHas("Erro de gravação : b.wav"));
  EXPECT_EQ(test::readFile("b.wav"), text);
}

}  // namespace
}  // namespace varlo
