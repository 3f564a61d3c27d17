// Option A's window and low-vision fields: what is typed is stored as the
// readers take it, what changed is said, and the running console follows.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "base/config.h"
#include "console/colour_scheme.h"
#include "console/magnifier.h"
#include "shell/display_settings.h"

using namespace varlo;
namespace fs = std::filesystem;

namespace {

class DisplaySettingsForm : public ::testing::Test {
 protected:
  void SetUp() override {
    home = fs::temp_directory_path() / ("varlo-display-" + std::to_string(getpid()));
    fs::remove_all(home);
    fs::create_directories(home / "murena");
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    std::ofstream(home / "murena" / "Murena.ini", std::ios::binary)
        << "[VIDEO]\nTABCORES=0,4,2\nFONTE=Minha Fonte\n";
    reloadSettings();
  }
  void TearDown() override {
    fs::remove_all(home);
    reloadSettings();
    reloadVideoSettings();
    startMagnifier(1, 0);
  }
  std::string userFile() {
    std::ifstream in(home / "murena" / "Murena.ini", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  fs::path home;
};

}  // namespace

TEST_F(DisplaySettingsForm, TypedValuesAreStoredAsTheReadersTakeThem) {
  DisplayFields f = currentDisplayFields();
  EXPECT_EQ(f.font, "Minha Fonte");
  EXPECT_EQ(f.colours, "PADRAO");
  EXPECT_EQ(f.zoom, 0);
  EXPECT_EQ(f.caretThickness, 100);
  f.window = "s";
  f.colours = " amarelo";
  f.letterWidth = -4;
  f.letterHeight = 40;
  f.caretThickness = 0;
  f.caretBlinks = "";
  f.zoom = 15;
  f.zoomText = 20;
  f.zoomBackground = 0;
  f.zoomCursor = -1;
  normaliseDisplayFields(f);
  ASSERT_TRUE(storeDisplayFields(f));
  reloadSettings();
  DisplayFields read = currentDisplayFields();
  EXPECT_EQ(read.window, "SIM");
  EXPECT_EQ(read.colours, "AMARELO");
  EXPECT_EQ(read.letterWidth, 0) << "by the screen";
  EXPECT_EQ(read.letterHeight, 40);
  EXPECT_EQ(read.caretThickness, 100) << "a block";
  EXPECT_EQ(read.caretBlinks, "NAO");
  EXPECT_EQ(read.zoom, 10);
  EXPECT_EQ(read.zoomText, 14) << "out of range: the default";
  EXPECT_EQ(read.zoomBackground, 0);
  EXPECT_EQ(read.zoomCursor, 14) << "the text colour: inverse video";
  std::string text = userFile();
  EXPECT_NE(text.find("TABCORES=0,4,2\n"), std::string::npos) << "the user's own colours stay";
  EXPECT_NE(text.find("LARGURALETRA=\n"), std::string::npos) << text;
  EXPECT_NE(text.find("[BAIXAVISAO]\nAMPLIACAO=10\n"), std::string::npos) << text;
}

TEST_F(DisplaySettingsForm, OnlyWhatChangedIsSaidAndTheWindowWaitsForTheNextStart) {
  DisplayFields before = currentDisplayFields();
  EXPECT_TRUE(displayChanges(before, before).empty());
  DisplayFields after = before;
  after.colours = "BRANCO";
  after.zoom = 4;
  after.window = "SIM";
  std::vector<std::string> said = displayChanges(before, after);
  ASSERT_EQ(said.size(), 3u);
  EXPECT_EQ(said[0], "Janela gr\xE1" "fica (sim ou n\xE3o): SIM, na pr\xF3xima vez que o programa abrir");
  EXPECT_EQ(said[1], "Cores (padr\xE3o, amarelo, branco): BRANCO");
  EXPECT_EQ(said[2], "Amplia\xE7\xE3o (0 desliga, at\xE9 10): 4");
}

TEST_F(DisplaySettingsForm, StoredSettingsTakeEffectInTheRunningConsole) {
  DisplayFields f = currentDisplayFields();
  f.colours = "AMARELO";
  f.zoom = 3;
  ASSERT_TRUE(storeDisplayFields(f));
  reloadSettings();
  applyDisplaySettings();
  EXPECT_EQ(colourPreset(), ColourPreset::yellowOnBlack);
  CellColours c = cellColours(0x17);   // grey on blue becomes yellow on black
  EXPECT_EQ(c.text.r + c.text.g + c.text.b, 255 + 255);
  EXPECT_EQ(c.background.r + c.background.g + c.background.b, 0);
  ASSERT_TRUE(magnifierOn());
  showMagnified("texto", 1, 20);
  ASSERT_NE(magnifierBand(), nullptr);
  EXPECT_EQ(magnifierBand()->zoom, 3);
  // Switched off again from the form.
  f.zoom = 0;
  ASSERT_TRUE(storeDisplayFields(f));
  reloadSettings();
  applyDisplaySettings();
  EXPECT_FALSE(magnifierOn());
  EXPECT_EQ(magnifierBand(), nullptr);
}

TEST_F(DisplaySettingsForm, TheBrailleDisplayIsOnByDefaultAndItsSettingsKeepTheKeyboardMode) {
  std::ofstream(home / "murena" / "Murena.ini", std::ios::binary | std::ios::app)
      << "[BRAILLE]\nMODO=2\n";
  reloadSettings();
  DisplayFields f = currentDisplayFields();
  EXPECT_EQ(f.brailleLine, "SIM");
  EXPECT_EQ(f.brailleTable, "pt-pt-g1.utb");
  f.brailleLine = "n";
  f.brailleTable = "  ";
  normaliseDisplayFields(f);
  EXPECT_EQ(f.brailleTable, "pt-pt-g1.utb") << "an empty table: the Portuguese one";
  f.brailleTable = " pt-pt-g2.ctb ";
  normaliseDisplayFields(f);
  ASSERT_TRUE(storeDisplayFields(f));
  reloadSettings();
  DisplayFields read = currentDisplayFields();
  EXPECT_EQ(read.brailleLine, "NAO");
  EXPECT_EQ(read.brailleTable, "pt-pt-g2.ctb");
  EXPECT_EQ(readRawSetting("BRAILLE", "MODO"), "2") << userFile();
  std::vector<std::string> said = displayChanges(f, currentDisplayFields());
  EXPECT_TRUE(said.empty());
}
