// The program speaks its greeting: started with the capture sink, what is
// heard before the directory prompt is real speech of a plausible length.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/audio_capture_reader.h"

using namespace varlo;
namespace fs = std::filesystem;

extern char** environ;

namespace {

// Seconds of sound heard and the share of 20 ms frames that are not silent.
struct Heard {
  double seconds = 0;
  double voicedShare = 0;
};

Heard measure(const std::vector<CaptureRecord>& records) {
  Heard h;
  AudioFormat format{};
  for (const CaptureRecord& r : records)
    if (r.kind == CaptureRecord::Kind::play) format = r.format;
  std::vector<uint8_t> bytes = heardBytes(records);
  if (format.bits != 16 || format.rate == 0) return h;
  size_t samples = bytes.size() / 2 / format.channels;
  h.seconds = double(samples) / format.rate;
  size_t frame = format.rate / 50, frames = 0, voiced = 0;
  const auto* pcm = reinterpret_cast<const int16_t*>(bytes.data());
  for (size_t start = 0; start + frame <= samples; start += frame, ++frames) {
    double energy = 0;
    for (size_t i = start; i < start + frame; ++i) energy += double(pcm[i * format.channels]) * pcm[i * format.channels];
    if (std::sqrt(energy / frame) > 300) ++voiced;
  }
  h.voicedShare = frames ? double(voiced) / frames : 0;
  return h;
}

// Wait until the file has not grown for three seconds: the greeting is over
// (a voice may hand over two seconds of sound at once).
void waitForQuiet(const fs::path& file) {
  uintmax_t last = 0;
  for (int still = 0, i = 0; still < 30 && i < 600; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::error_code ec;
    uintmax_t size = fs::file_size(file, ec);
    still = !ec && size > 0 && size == last ? still + 1 : 0;
    last = ec ? 0 : size;
  }
}

}  // namespace

// Each engine the suite settings may choose: 5 the espeak-ng voices, 3 Olira.
class GreetingSound : public ::testing::TestWithParam<int> {};

TEST_P(GreetingSound, TheGreetingIsSpokenAtAPlausibleLength) {
  fs::path dir = fs::temp_directory_path() /
                 ("varlo-greeting-" + std::to_string(getpid()) + "-" + std::to_string(GetParam()));
  fs::remove_all(dir);
  fs::create_directories(dir / "run");
  fs::create_directories(dir / "murena");
  std::ofstream(dir / "murena" / "Murena.ini") << "[SERVFALA]\nTIPOSAPI=" << GetParam() << "\n";
  fs::path capture = dir / "som.cap";
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
  setenv("VARLO_CONSOLE", "headless", 1);
  setenv("VARLO_AUDIO", ("capture:" + capture.string()).c_str(), 1);

  int keys[2];
  ASSERT_EQ(pipe(keys), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, keys[0], 0);
  posix_spawn_file_actions_addclose(&actions, keys[1]);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::string program = std::string(VARLO_BINARY_DIR) + "/varlo";
  char* argv[] = {program.data(), nullptr};
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ASSERT_EQ(spawned, 0);
  close(keys[0]);
  waitForQuiet(capture);
  ASSERT_EQ(write(keys[1], "\x1b", 1), 1);   // Esc at the directory prompt ends the program
  close(keys[1]);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));

  Heard h = measure(readCapture(capture.string()));
  // "VARLO KET - V.", "2.2 BETA", the two lines of the directory prompt and
  // the farewell: about 100 characters.
  constexpr double kCharacters = 100;
  EXPECT_GT(h.seconds / kCharacters, 0.05) << h.seconds << " s";
  EXPECT_LT(h.seconds / kCharacters, 0.2) << h.seconds << " s";
  EXPECT_GT(h.voicedShare, 0.4);
  fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Engines, GreetingSound, ::testing::Values(5, 3));
