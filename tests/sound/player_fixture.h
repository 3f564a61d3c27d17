// A wave player playing into a capture file, fresh for every test.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "console/console.h"
#include "platform/audio_capture_reader.h"
#include "platform/audio_sink.h"
#include "sound/wav_files.h"
#include "sound/wave_player.h"

namespace varlo::test {

class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = freshDirectory(::testing::UnitTest::GetInstance()->current_test_info()->name());
    capture = dir + "/capture.txt";
    closeWavePlayer();
    setenv("VARLO_AUDIO", ("capture:" + capture).c_str(), 1);
    resetAudioSink();
    waveSettings() = WaveSettings{};
    flushKeyQueue();
  }
  void TearDown() override {
    closeWavePlayer();
    flushKeyQueue();
    std::filesystem::remove_all(dir);
  }

  // Starts a new capture file (the device is closed so the sink lets go of
  // the old one).
  void restartCapture() {
    closeWavePlayer();
    std::remove(capture.c_str());
  }
  std::string path(const std::string& name) const { return dir + "/" + name; }
  std::string wav(const std::string& name, const Bytes& bytes) const {
    writeFile(path(name), bytes);
    return path(name);
  }
  std::vector<CaptureRecord> records() const { return readCapture(capture); }
  std::vector<CaptureRecord> plays() const {
    std::vector<CaptureRecord> found;
    for (auto& r : records())
      if (r.kind == CaptureRecord::Kind::play) found.push_back(r);
    return found;
  }
  std::vector<size_t> playSizes() const {
    std::vector<size_t> sizes;
    for (auto& r : plays()) sizes.push_back(r.data.size());
    return sizes;
  }
  const CaptureRecord* first(CaptureRecord::Kind kind, const std::vector<CaptureRecord>& rs) const {
    for (auto& r : rs)
      if (r.kind == kind) return &r;
    return nullptr;
  }

  std::string dir;
  std::string capture;
};

}  // namespace varlo::test
