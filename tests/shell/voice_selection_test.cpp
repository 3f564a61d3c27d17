// Choosing the conversion voice for live speech (options A, V and T): what
// was being said is heard to its end, and a voice this system lacks is
// replaced by the configured one with a word to the user.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/config.h"
#include "console/console.h"
#include "engines/engines.h"
#include "platform/audio_capture_reader.h"
#include "platform/audio_sink.h"
#include "shell/app_state.h"
#include "shell/voice_selection.h"
#include "sound/wave_player.h"
#include "speech/messages.h"
#include "speech/speech.h"

using namespace varlo;
namespace fs = std::filesystem;

namespace {

class VoiceSelection : public ::testing::Test {
 protected:
  fs::path root, capture;

  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "varlo-voice-XXXXXX").string();
    root = mkdtemp(pattern.data());
    fs::create_directories(root / "murena");
    std::ofstream(root / "murena" / "Murena.ini")
        << "[TRADUTOR]\nSAPI=SIM\n[SERVFALA]\nTIPOSAPI=5\nVOZ=1\n[MURENA]\nLEGADO=NAO\n";
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    setenv("SPEECHD_ADDRESS", ("unix_socket:" + (root / "no-server").string()).c_str(), 1);
    capture = root / "som.cap";
    setenv("VARLO_AUDIO", ("capture:" + capture.string()).c_str(), 1);
    resetAudioSink();
    reloadSettings();
    static bool consoleOpen = false;
    if (!consoleOpen) openConsole();
    consoleOpen = true;
    flushKeyQueue();
    clearWindow();
    initSpeech(0, "");
    appState() = AppState{};
  }

  void TearDown() override {
    restoreMenuVoice();
    shutdownSpeech();
    closeWavePlayer();
    setenv("VARLO_AUDIO", "null", 1);
    resetAudioSink();
    fs::remove_all(root);
  }

  // Seconds of 16-bit mono sound heard so far.
  double heardSeconds() {
    std::vector<CaptureRecord> records = readCapture(capture.string());
    int rate = 0;
    for (const CaptureRecord& r : records)
      if (r.kind == CaptureRecord::Kind::play) rate = int(r.format.rate);
    return rate ? heardBytes(records).size() / 2.0 / rate : 0;
  }
};

}  // namespace

// "Use as setas, F1 ajuda" comes just before the first voice of option V is
// chosen; the user hears all of it, not the start of a word.
TEST_F(VoiceSelection, SpeechUnderWayIsHeardToItsEnd) {
  ASSERT_TRUE(engineActive());
  sayMessage("VLUSESET", 1);
  AppState& s = appState();
  s.sapiType = kEngineEspeak;
  s.sapiVoice = 1;
  selectConversionVoice(s);
  EXPECT_GT(heardSeconds(), 1.0);
}

// Type 4 is Speech Dispatcher; here its server takes the connection and
// never answers. The program neither hangs nor waits again at every key of
// the trial loop: the configured voice speaks, and the user is told once.
TEST_F(VoiceSelection, AMissingEngineFallsBackToTheConfiguredVoiceAndSaysSo) {
  int silent = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", (root / "fala.sock").c_str());
  ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(silent, 8), 0);
  setenv("SPEECHD_ADDRESS", ("unix_socket:" + (root / "fala.sock").string()).c_str(), 1);
  AppState& s = appState();
  s.sapiType = kEngineOldInterface;
  s.sapiVoice = 1;
  selectConversionVoice(s);
  selectConversionVoice(s);
  ASSERT_TRUE(engineActive());
  std::string screen = screenDump();
  const std::string said = "A voz do tipo 4 n\xE3o est\xE1 dispon\xEDvel neste sistema";
  size_t at = screen.find(said);
  ASSERT_NE(at, std::string::npos) << screen;
  EXPECT_EQ(screen.find(said, at + 1), std::string::npos) << "said more than once";
  double before = heardSeconds();
  speak("Poderei converter os arquivos utilizando esse modelo");
  waitWhileBusy();
  EXPECT_GT(heardSeconds(), before + 0.5);
  close(silent);
}
