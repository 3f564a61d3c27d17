#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "production/conversion_mp3.h"
#include "base/config.h"
#include "speech/speech.h"
#include "shell/app_state.h"
#include "shell/settings_dialog.h"

using namespace varlo;
namespace fs = std::filesystem;

namespace {

class SettingsForm : public ::testing::Test {
 protected:
  void SetUp() override {
    home = fs::temp_directory_path() / ("varlo-settings-" + std::to_string(getpid()));
    fs::remove_all(home);
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    reloadSettings();
    loadAppState(appState());
  }
  void TearDown() override { fs::remove_all(home); }
  std::string userFile() {
    std::ifstream in(userConfigFile(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  fs::path home;
};

}  // namespace

TEST_F(SettingsForm, TypedValuesChangeTheProgramAndAreStoredNormalised) {
  SettingsFields f = currentSettingsFields();
  f.quality = "baixa";
  f.announceFiles = "";
  f.linesPerPart = 0;
  f.punctuation = "nao";
  f.audioSubdirectory = "  ";
  applySettingsFields(f);
  AppState& s = appState();
  EXPECT_EQ(s.mp3Options, s.qualityLow);
  EXPECT_EQ(s.announceFiles, "SIM");
  EXPECT_EQ(s.linesPerPart, 100);
  EXPECT_EQ(s.audioSubdirectory, "WAVMP3");
  EXPECT_FALSE(speechOptions().speakPunctuation);
  ASSERT_TRUE(storeSettingsFields(f));
  std::string text = userFile();
  EXPECT_NE(text.find("QUALIDADEMP3=B\n"), std::string::npos);
  EXPECT_NE(text.find("CLEK=SIM\n"), std::string::npos);
  EXPECT_NE(text.find("QUEBRARLINHA=100\n"), std::string::npos);
  // After a restart the low quality chosen is still the one in force.
  reloadSettings();
  loadAppState(s);
  EXPECT_EQ(s.mp3Options, s.qualityLow);
  EXPECT_EQ(currentSettingsFields().quality, "BAIXA");
  speechOptions().speakPunctuation = true;
}

// Each quality the form takes survives a restart and shows as a word again.
TEST_F(SettingsForm, TheStoredQualityIsTheLetterStartUpReads) {
  AppState& s = appState();
  struct Case { const char* typed; const char* stored; std::string AppState::*options; const char* shown; };
  for (const Case& c : {Case{"m", "M", &AppState::qualityMax, "M\xC1XIMA"},
                        Case{"Alta", "A", &AppState::qualityHigh, "ALTA"},
                        Case{"", "A", &AppState::qualityHigh, "ALTA"},
                        Case{" baixa", "B", &AppState::qualityLow, "BAIXA"}}) {
    SettingsFields f = currentSettingsFields();
    f.quality = c.typed;
    applySettingsFields(f);
    ASSERT_TRUE(storeSettingsFields(f));
    EXPECT_NE(userFile().find(std::string("QUALIDADEMP3=") + c.stored + "\n"), std::string::npos) << c.typed;
    reloadSettings();
    loadAppState(s);
    EXPECT_EQ(s.mp3Options, s.*c.options) << c.typed;
    EXPECT_EQ(currentSettingsFields().quality, c.shown) << c.typed;
  }
}

TEST_F(SettingsForm, WritingKeepsTheOtherSectionsOfTheUserFile) {
  fs::create_directories(home / "murena");
  std::string mine = "; minhas notas\n[SERVFALA]\nVOZ=3\n\n[VARLO]\nCD=/dev/sr1\nOUTRA=1\n";
  std::ofstream(home / "murena" / "Murena.ini", std::ios::binary) << mine;
  reloadSettings();
  SettingsFields f = currentSettingsFields();
  EXPECT_EQ(f.cdDrive, "/dev/sr1");
  f.cdDrive = "/tmp/x.iso";
  applySettingsFields(f);
  EXPECT_EQ(appState().cdDrive, "/tmp/x.iso");
  ASSERT_TRUE(storeSettingsFields(f));
  std::string text = userFile();
  EXPECT_EQ(text.rfind("; minhas notas\n[SERVFALA]\nVOZ=3\n\n[VARLO]\nCD=/tmp/x.iso\nOUTRA=1\n", 0), 0u) << text;
}

// A path typed with accents (program text, Windows-1252) names its file on
// disk in UTF-8, which option G then creates.
TEST_F(SettingsForm, AnAccentedCdPathNamesItsFileInUtf8) {
  SettingsFields f = currentSettingsFields();
  f.cdDrive = "/tmp/cora\xE7\xE3o.iso";
  applySettingsFields(f);
  EXPECT_EQ(appState().cdDrive, "/tmp/cora\xC3\xA7\xC3\xA3o.iso");
}

// Leaving the form untouched must not change the encoder conversion runs:
// the path shown for an empty PROG_LAME is stored back as typed.
TEST_F(SettingsForm, AnUntouchedEncoderFieldKeepsTheEncoderThatConversionFinds) {
  std::vector<std::string> before = lameCommand();
  SettingsFields f = currentSettingsFields();
  applySettingsFields(f);
  ASSERT_TRUE(storeSettingsFields(f));
  reloadSettings();
  EXPECT_EQ(lameCommand(), before);
}

// The book format typed in any case survives a restart; a format the
// program does not make falls back to today's MP3 parts.
TEST_F(SettingsForm, BookFormatAndAuthorAreStoredAndReadBack) {
  AppState& s = appState();
  for (auto [typed, format] : {std::pair{" epub", "EPUB"}, std::pair{"Daisy", "DAISY"},
                               std::pair{"wav", "MP3"}}) {
    SettingsFields f = currentSettingsFields();
    f.bookFormat = typed;
    f.bookAuthor = " Machado de Assis ";
    applySettingsFields(f);
    EXPECT_EQ(s.bookFormat, format) << typed;
    ASSERT_TRUE(storeSettingsFields(f));
    EXPECT_NE(userFile().find(std::string("FORMATOLIVRO=") + format + "\n"), std::string::npos) << typed;
    reloadSettings();
    s.bookFormat = "?";
    loadAppState(s);
    EXPECT_EQ(s.bookFormat, format) << typed;
    EXPECT_EQ(s.bookAuthor, "Machado de Assis");
    EXPECT_EQ(currentSettingsFields().bookFormat, format);
  }
  SettingsFields f = currentSettingsFields();
  f.bookFormat = "MP3";
  applySettingsFields(f);
}
