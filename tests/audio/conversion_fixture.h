// Shared set-up of the conversion tests: a project directory of the test's
// own, settings that render with the espeak-ng voice, and helpers that read
// the WAV files produced.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "shell/conversion.h"
#include "sound/wav_buffer.h"
#include "base/config.h"
#include "console/console.h"
#include "speech/speech.h"
#include "shell/app_state.h"

namespace varlo::test {

namespace fs = std::filesystem;

inline std::string readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Frames of a WAV file, -1 when it does not load.
inline int wavFrames(const fs::path& path) {
  TAmostras buffer;
  return buffer.load(path.string()) ? buffer.frameCount() : -1;
}

// Frames of an MP3 decoded by lame into `wav`, -1 when it does not decode.
inline int decodedFrames(const fs::path& mp3, const fs::path& wav) {
  std::string command = "lame --quiet --decode '" + mp3.string() + "' '" + wav.string() + "'";
  return std::system(command.c_str()) == 0 ? wavFrames(wav) : -1;
}

// A WAV file of a full-scale square wave, in any PCM format.
inline void writeSquareWave(const fs::path& path, int rate, int bits, int channels, int frames) {
  TAmostras wave(channels, frames, bits, rate);
  for (int i = 0; i < frames; ++i) {
    int16_t v = (i / 20) % 2 ? 30000 : -30000;
    wave.setSample(i, makeFrame(v, v));
  }
  ASSERT_TRUE(wave.save(path.string()));
}

class ConversionFixture : public ::testing::Test {
 protected:
  fs::path root, project, audio;
  std::string startDirectory;

  void configure(const std::string& varloSection) {
    std::ofstream ini(root / "config" / "murena" / "Murena.ini");
    ini << "[TRADUTOR]\nVELOCIDADE=3\nSAPI=NAO\n"
        << "[SERVFALA]\nTIPOSAPI=5\nVOZ=1\nVELOCIDADE=0\nTOM=0\n"
        << "[MURENA]\nLEGADO=NAO\n"
        << "[VARLO]\n" << varloSection;
    ini.close();
    reloadSettings();
  }

  void SetUp() override {
    char buffer[4096];
    startDirectory = getcwd(buffer, sizeof buffer);
    std::string pattern = (fs::temp_directory_path() / "varlo-conv-XXXXXX").string();
    root = mkdtemp(pattern.data());
    project = root / "projeto";
    audio = project / "WAVMP3";
    fs::create_directories(project);
    fs::create_directories(root / "config" / "murena");
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    configure("");
    static bool consoleOpen = false;
    if (!consoleOpen) openConsole();
    consoleOpen = true;
    flushKeyQueue();
    initSpeech(0, "");
    AppState& s = appState();
    s = AppState{};
    s.projectDirectory = project.string();
    s.useSapi = s.voiceChosen = true;
    s.sapiType = 5;
    s.sapiVoice = 1;
    s.announceFiles = "NAO";
    s.commandLineMode = true;   // no questions
    ASSERT_EQ(chdir(project.c_str()), 0);
  }

  void TearDown() override {
    shutdownSpeech();
    chmod(project.c_str(), 0755);
    (void)chdir(startDirectory.c_str());
    fs::remove_all(root);
  }

  // Converts the named texts of the project; the screen afterwards.
  std::string convert(const std::vector<std::string>& names, bool mp3 = false) {
    AppState& s = appState();
    s.selection = names;
    s.mp3Output = mp3;
    writeText("\f");
    clearWindow();
    convertSelection();
    return screenDump();
  }

  // The frames of a text rendered on its own, in a directory of its own.
  int framesOf(const std::string& text) {
    static int count = 0;
    std::string name = "ref" + std::to_string(++count) + ".txt";
    writeBytes(project / name, text);
    convert({name});
    int frames = wavFrames(audio / ("ref" + std::to_string(count) + ".wav"));
    fs::remove(project / name);
    return frames;
  }

  bool noScratchFiles() const {
    return !fs::exists(audio / "temp.wav") && !fs::exists(audio / "ARQ_WAV.$$$") &&
           !fs::exists(audio / "arq_wav.$$$");
  }
};

}  // namespace varlo::test
