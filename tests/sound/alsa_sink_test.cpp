// The ALSA sink against a private ALSA configuration that offers only the
// "null" PCM: the default device cannot open (as on a machine without a
// sound card), and the device chosen by name in the settings plays through
// the playback thread. Nothing here can reach a real sound card.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "base/config.h"
#include "console/console.h"
#include "platform/audio_sink.h"
#include "sound/wav_files.h"
#include "sound/wave_player.h"

namespace varlo {
namespace {

using test::Bytes;

class AlsaSink : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = test::freshDirectory("alsa");
    std::ofstream(dir + "/asound.conf")
        << "pcm.null { type null hint { show on description \"Discard\" } }\n";
    std::filesystem::create_directories(dir + "/murena");
    std::ofstream(dir + "/murena/Murena.ini") << "[TRADUTOR]\r\nSAIDADEAUDIO= NULL\r\n";
    setenv("ALSA_CONFIG_PATH", (dir + "/asound.conf").c_str(), 1);
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    setenv("VARLO_AUDIO", "alsa", 1);
    reloadSettings();
    resetAudioSink();
  }
  void SetUp() override {
    closeWavePlayer();
    flushKeyQueue();
  }
  void TearDown() override { closeWavePlayer(); }
  static void TearDownTestSuite() { std::filesystem::remove_all(dir); }

  static inline std::string dir;
  std::string file = dir + "/a.wav";
};

TEST_F(AlsaSink, NamedDeviceFromTheSettingsPlaysThroughTheThread) {
  int device = -1;
  ASSERT_TRUE(findOutputDevice("Null", device));
  test::writeFile(file, test::wavBytes(22050, 16, 1, Bytes(200000, 0)));
  EXPECT_EQ(playWaveFile(file), 0);   // the setting was read at first use
  EXPECT_EQ(waveSettings().outputDevice, device);
  EXPECT_EQ(audioSinkKind(), AudioSinkKind::alsa);
  EXPECT_FALSE(isPlaying());

  waveSettings().noWait = true;
  EXPECT_EQ(playWaveFile(file), 0);
  stopPlaying();
  EXPECT_FALSE(isPlaying());
  Bytes eight(3000, 128);
  EXPECT_EQ(playSamples(eight.data(), eight.size(), 8000, 2, 8), 0);   // new format
  waitWhilePlaying();
  EXPECT_EQ(audioSinkKind(), AudioSinkKind::alsa);
}

TEST_F(AlsaSink, NoDefaultDeviceFallsBackToNullQuietly) {
  isPlaying();   // first use reads the configured device
  waveSettings().outputDevice = -1;
  test::writeFile(file, test::wavBytes(11025, 8, 1, Bytes(30000, 128)));
  testing::internal::CaptureStderr();
  EXPECT_EQ(playWaveFile(file), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(audioSinkKind(), AudioSinkKind::null);
  EXPECT_FALSE(isPlaying());
}

}  // namespace
}  // namespace varlo
