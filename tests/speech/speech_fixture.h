// Shared set-up of the speech tests: a private settings file and letters
// directory, small recordings, and a listener that writes down what the
// front end asked the sound layer to play.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sound/wav_buffer.h"
#include "base/config.h"
#include "console/console.h"
#include "speech/speech.h"

namespace varlo::test {

namespace fs = std::filesystem;

struct Heard {
  SoundEvent event;
  std::string detail;
};

inline std::vector<Heard>& heard() {
  static std::vector<Heard> events;
  return events;
}

inline void listen(SoundEvent event, std::string_view detail) {
  heard().push_back({event, std::string(detail)});
}

// A fresh temporary directory, removed with the fixture.
inline fs::path makeTempDir(const std::string& stem) {
  std::string pattern = (fs::temp_directory_path() / (stem + "-XXXXXX")).string();
  return fs::path(mkdtemp(pattern.data()));
}

// An 8-bit mono 11025 Hz recording of `bytes` samples of value `level`.
inline void writeRecording(const fs::path& path, size_t bytes, uint8_t level = 140) {
  auto header = buildWavHeader(11025, 8, uint32_t(bytes), 1);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(header.data()), header.size());
  out << std::string(bytes, char(level));
}

// The file name part of what the listener heard (files only), or the event
// name for other sounds.
inline std::vector<std::string> heardNames() {
  std::vector<std::string> names;
  for (const Heard& h : heard()) {
    switch (h.event) {
      case SoundEvent::file: names.push_back(fs::path(h.detail).stem().string()); break;
      case SoundEvent::click: names.push_back("<click>"); break;
      case SoundEvent::beep: names.push_back("<beep>"); break;
      case SoundEvent::pause: names.push_back("<pause " + h.detail + ">"); break;
      case SoundEvent::words: names.push_back("<words " + h.detail + ">"); break;
      case SoundEvent::joined: names.push_back("<joined " + h.detail + ">"); break;
    }
  }
  return names;
}

// Settings of the test: the letters directory is `letters`; `extra` follows
// in [TRADUTOR] and may open more sections ([MURENA] then needs LEGADO=NAO).
class SpeechFixture : public ::testing::Test {
 protected:
  fs::path root, letters, sounds;

  void configure(const std::string& extra) {
    std::ofstream ini(root / "config" / "murena" / "Murena.ini");
    ini << "[TRADUTOR]\nVELOCIDADE=3\nDIRLETRAS=" << letters.string() << "\n" << extra;
    if (extra.find("[MURENA]") == std::string::npos) ini << "\n[MURENA]\nLEGADO=NAO\n";
    ini.close();
    reloadSettings();
  }

  void SetUp() override {
    root = makeTempDir("varlo-speech");
    letters = root / "letras";
    sounds = root / "varlo";
    fs::create_directories(letters);
    fs::create_directories(sounds);
    fs::create_directories(root / "config" / "murena");
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    // No speech server: voice type 4 meets one only where a test starts it.
    setenv("SPEECHD_ADDRESS", ("unix_socket:" + (root / "no-server").string()).c_str(), 1);
    configure("SAPI=NAO\n");
    static bool consoleOpen = false;
    if (!consoleOpen) openConsole();
    consoleOpen = true;
    flushKeyQueue();
    initSpeech(0, sounds.string());
    heard().clear();
    setSoundListener(listen);
  }

  void TearDown() override {
    setSoundListener(nullptr);
    shutdownSpeech();
    fs::remove_all(root);
  }

  void addRecording(const std::string& name, size_t bytes = 300) {
    writeRecording(letters / (name + ".wav"), bytes);
  }
};

}  // namespace varlo::test
