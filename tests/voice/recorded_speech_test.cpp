// The suite voice behind the speech front end, on the data the build made:
// hostile text is spoken without harm, and a missing voice does not silence
// a program whose engine opens.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "base/codepage.h"
#include "base/config.h"
#include "console/console.h"
#include "engines/diphone_voice.h"
#include "engines/suite_synth.h"
#include "speech/speech.h"
#include "voice/voice_test_util.h"

namespace varlo {
namespace {

class RecordedSpeech : public ::testing::Test {
 protected:
  void SetUp() override {
    root = test::makeVoiceDir("varlo-recorded");
    test::fs::create_directories(root / "murena");
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    reloadSettings();
    static bool consoleOpen = false;
    if (!consoleOpen) openConsole();
    consoleOpen = true;
    setDiphoneOutput([this](const uint8_t*, size_t size) { heard += size - kDiphoneHeaderBytes; });
  }
  void TearDown() override {
    setDiphoneOutput(nullptr);
    shutdownSuiteSynth();
    test::fs::remove_all(root);
    reloadSettings();
  }
  void settings(const std::string& text) {
    test::writeText(root / "murena" / "Murena.ini", text);
    reloadSettings();
  }
  test::fs::path root;
  size_t heard = 0;
};

TEST_F(RecordedSpeech, HostileTextIsSpokenWithoutHarm) {
  settings("[MURENA]\nLEGADO=SIM\n");
  ASSERT_EQ(initSuiteSynth(), 0);
  suiteSynthSpeak(std::string(100, 'a') + "bcd");
  EXPECT_GT(heard, 11025u);
  heard = 0;
  std::string high;
  for (int c = 128; c < 160; ++c) high += char(c);
  suiteSynthSpeak(high + " " + std::string(300, 'z') + " .,;:!?");
  suiteSynthSpeak(" ., ;:");
  suiteSynthSpeak("");
  EXPECT_GT(heard, 0u);
}

TEST_F(RecordedSpeech, MissingDataReportsCodesOneAndTwo) {
  settings("[MURENA]\nLEGADO=SIM\n[TRADUTOR]\nDIRDIFONES=" + (root / "none").string() + "\n");
  EXPECT_EQ(initSuiteSynth(), 1);
  test::fs::create_directories(root / "difones");
  settings("[MURENA]\nLEGADO=SIM\n[TRADUTOR]\nDIRDIFONES=" + (root / "difones").string() + "\n");
  EXPECT_EQ(initSuiteSynth(), 2);
}

// The engine speaks; the user is told that the recorded voice is missing.
TEST_F(RecordedSpeech, MissingVoiceIsReportedWhenAnEngineSpeaks) {
  settings("[MURENA]\nLEGADO=SIM\n[TRADUTOR]\nSAPI=SIM\nDIRDIFONES=" + (root / "none").string() +
           "\n[SERVFALA]\nTIPOSAPI=5\nVOZ=1\n");
  clearWindow();
  initSpeech(0, root.string());
  EXPECT_TRUE(engineActive());
  EXPECT_NE(screenDump().find(utf8ToCp1252("Erro de inicialização: 1")), std::string::npos);
  shutdownSpeech();
}

}  // namespace
}  // namespace varlo
