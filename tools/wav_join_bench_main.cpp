// Times one join of the program's WAV joiner: in DIR, "base.wav" is copied to
// "temp.wav" and EFFECT is appended to it (converted when its format
// differs). Prints "seconds peak_rss_kb".
//   wav-join-bench DIR EFFECT
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "sound/wav_buffer.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: wav-join-bench DIR EFFECT\n");
    return 2;
  }
  std::filesystem::current_path(argv[1]);
  std::filesystem::copy_file("base.wav", "temp.wav",
                             std::filesystem::copy_options::overwrite_existing);
  auto start = std::chrono::steady_clock::now();
  varlo::JoinResult result = varlo::joinWav(argv[2], 2);
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%.3f %ld\n", took.count(), usage.ru_maxrss);
  return result == varlo::JoinResult::done ? 0 : 1;
}
