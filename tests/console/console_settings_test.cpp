#include <filesystem>
#include <fstream>

#include "base/config.h"
#include "console_fixture.h"

namespace varlo {
namespace {

using Map = std::array<int, 16>;
constexpr Map kIdentity = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

Map parsed(std::string_view text) {
  Map map = kIdentity;
  parseColourTable(text, map);
  return map;
}

TEST(ColourTable, FillsInOrderAndKeepsTheRest) {
  EXPECT_EQ(parsed("3,2,1"), (Map{3, 2, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(parsed(" 7 ,  8 ,9"), (Map{7, 8, 9, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(parsed("15,14,13,12,11,10,9,8,7,6,5,4,3,2,1,0,99"),
            (Map{15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
  EXPECT_EQ(parsed("-1,20"), (Map{-1, 20, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
}

TEST(ColourTable, ABadEntryKeepsItsLeadingDigitsAndEndsTheReading) {
  EXPECT_EQ(parsed("5,12abc,9"), (Map{5, 12, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(parsed("4,x,9"), (Map{4, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(parsed("9,,9"), (Map{9, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(parsed("1 2,9"), (Map{1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
}

// The [VIDEO] section of a user settings file written for the test.
class VideoSettingsTest : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    dir_ = std::filesystem::temp_directory_path() / ("varlo-video-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_ / "murena");
    setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    setLegacyLookup(false);
  }
  void TearDown() override {
    std::filesystem::remove_all(dir_);
    unsetenv("XDG_CONFIG_HOME");
    setLegacyLookup(true);
    reloadSettings();
  }
  void writeVideo(const std::string& lines) {
    std::ofstream(dir_ / "murena" / "Murena.ini") << "[OUTRA]\r\nCORLETRA=3\r\n[VIDEO]\r\n" << lines;
    reloadSettings();
  }
  std::filesystem::path dir_;
};

TEST_F(VideoSettingsTest, ReadsColoursAndTheColourLock) {
  writeVideo("TABCORES=0,4,2\r\nCORESFIXAS=sim\r\nCORFUNDO=1\r\nCORLETRA=14\r\nLENTO=S\r\n");
  VideoSettings s = readVideoSettings();
  EXPECT_EQ(s.colourMap, (Map{0, 4, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  EXPECT_TRUE(s.coloursFixed);
  EXPECT_TRUE(s.smoothScroll);
  EXPECT_EQ(s.startAttribute, 0x1E);
}

TEST_F(VideoSettingsTest, PaletaNamesAColourPresetByItsFirstLetter) {
  const std::pair<const char*, ColourPreset> cases[] = {
      {"PALETA=amarelo\r\n", ColourPreset::yellowOnBlack},
      {"PALETA= Branco\r\n", ColourPreset::whiteOnBlack},
      {"PALETA=PADRAO\r\n", ColourPreset::standard},
      {"PALETA=verde\r\n", ColourPreset::standard},
      {"", ColourPreset::standard}};
  for (const auto& [line, preset] : cases) {
    writeVideo(line);
    EXPECT_EQ(readVideoSettings().preset, preset) << line;
  }
}

TEST_F(VideoSettingsTest, MissingOrBadValuesTakeTheDefaults) {
  writeVideo("CORESFIXAS=N\r\nCORFUNDO=20\r\nCORLETRA=branco\r\n");
  VideoSettings s = readVideoSettings();
  EXPECT_EQ(s.colourMap, kIdentity);
  EXPECT_FALSE(s.coloursFixed);
  EXPECT_FALSE(s.smoothScroll);
  EXPECT_EQ(s.startAttribute, 0x0F);
}

TEST_F(VideoSettingsTest, FixedColoursLeaveTheAttributeUnchanged) {
  writeVideo("CORESFIXAS=S\r\n");
  applyVideoSettings(readVideoSettings());
  setAttribute(0x17);
  setTextColor(12);
  setBackgroundColor(4);
  EXPECT_EQ(currentAttribute(), 0x17);
}

using Colours = ConsoleTest;

TEST_F(Colours, ColourOperationsChangeOneNibble) {
  setAttribute(0x17);
  setTextColor(12);
  EXPECT_EQ(currentAttribute(), 0x1C);
  setBackgroundColor(4);
  EXPECT_EQ(currentAttribute(), 0x4C);
  setBackgroundColor(17);   // only the low four bits count
  EXPECT_EQ(currentAttribute(), 0x1C);
  writeText("c");
  EXPECT_EQ(screenAttribute(1, 1), 0x1C);
}

TEST_F(Colours, PaletteGoesThroughTheColourMap) {
  Rgb violet = colourRgb(5);
  EXPECT_EQ(violet.r, 142);
  EXPECT_EQ(violet.b, 142);
  VideoSettings s;
  s.colourMap = kIdentity;
  s.colourMap[1] = 4;
  s.colourMap[2] = 99;
  applyVideoSettings(s);
  Rgb red = colourRgb(1);
  EXPECT_EQ(red.r, 255);
  EXPECT_EQ(red.g, 0);
  EXPECT_EQ(red.b, 0);
  Rgb black = colourRgb(2);
  EXPECT_EQ(black.r + black.g + black.b, 0);
  Rgb grey = colourRgb(8);
  EXPECT_EQ(grey.r, 40);
}

}  // namespace
}  // namespace varlo
