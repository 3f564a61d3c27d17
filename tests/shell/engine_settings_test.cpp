// The voices of option A's form: the engines by name, and the program's own
// voice stored where start-up reads it.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "base/config.h"
#include "shell/app_state.h"
#include "shell/settings_dialog.h"

using namespace varlo;
namespace fs = std::filesystem;

namespace {

class EngineSettingsForm : public ::testing::Test {
 protected:
  void SetUp() override {
    home = fs::temp_directory_path() / ("varlo-engine-settings-" + std::to_string(getpid()));
    fs::remove_all(home);
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    reloadSettings();
    loadAppState(appState());
  }
  void TearDown() override { fs::remove_all(home); }
  fs::path home;
};

}  // namespace

TEST_F(EngineSettingsForm, EnginesAreTypedByNameByTheirBeginningOrByCode) {
  EXPECT_EQ(engineTypeCode("olira", 5), 3);
  EXPECT_EQ(engineTypeCode(" Esp ", 3), 5);
  EXPECT_EQ(engineTypeCode("s", 3), 4);
  EXPECT_EQ(engineTypeCode("54", 3), 54);
  EXPECT_EQ(engineTypeCode("sapi", 3), 3);   // no engine begins so: unchanged
  EXPECT_EQ(engineTypeCode("", 5), 5);
  EXPECT_EQ(engineTypeName(4), "SPEECH DISPATCHER");
  EXPECT_EQ(engineTypeName(54), "54");
}

TEST_F(EngineSettingsForm, TheProgramsVoiceIsStoredWhereStartUpReadsItAndItsChangesAreSaid) {
  SettingsFields before = currentSettingsFields();
  EXPECT_EQ(before.menuVoice, "MOTOR");    // the shipped settings speak with an engine
  SettingsFields f = before;
  f.menuVoice = "grav";
  f.menuEngine = "olira";
  f.sapiType = "speech";
  f.progressSeconds = -5;
  applySettingsFields(f);
  EXPECT_EQ(appState().sapiType, 4);
  ASSERT_TRUE(storeSettingsFields(f));
  reloadSettings();
  EXPECT_EQ(readSetting("TRADUTOR", "SAPI"), "NAO");
  EXPECT_EQ(readSetting("SERVFALA", "TIPOSAPI"), "3");
  EXPECT_EQ(readSetting("VARLO", "TIPOSAPI"), "4");
  EXPECT_EQ(readSetting("VARLO", "AVISOPROGRESSO"), "0");   // below 0: never
  SettingsFields after = currentSettingsFields();
  EXPECT_EQ(after.menuVoice, "GRAVADA");
  EXPECT_EQ(after.menuEngine, "OLIRA");
  EXPECT_EQ(after.sapiType, "SPEECH DISPATCHER");
  std::vector<std::string> said = menuVoiceChanges(before, after);
  ASSERT_EQ(said.size(), 2u);
  EXPECT_EQ(said[1], "Motor do programa: OLIRA");
  EXPECT_TRUE(menuVoiceChanges(after, after).empty());
}
