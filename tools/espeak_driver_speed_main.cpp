// Renders a text file into a WAV file through the engine dispatcher's
// espeak-ng driver (voice 1, default rate), one paragraph per request as the
// conversion does, and prints the seconds it took and the seconds of audio.
// Used by bench/espeak_driver_speed.sh.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "console/console.h"
#include "base/codepage.h"
#include "engines/engines.h"

namespace {

// Paragraphs: runs of lines ended by a "%" line or an empty line.
std::vector<std::string> paragraphs(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line, current;
  auto flush = [&] {
    if (!current.empty()) out.push_back(current);
    current.clear();
  };
  while (std::getline(in, line)) {
    if (line == "%" || line.empty()) {
      flush();
    } else {
      current += (current.empty() ? "" : " ") + line;
    }
  }
  flush();
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace varlo;
  if (argc != 3) {
    std::fprintf(stderr, "usage: espeak-driver-speed TEXT.txt OUT.wav\n");
    return 2;
  }
  setenv("VARLO_CONSOLE", "headless", 1);
  setenv("VARLO_AUDIO", "null", 1);
  openConsole();
  std::ifstream in(argv[1], std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::vector<std::string> pieces = paragraphs(textFromFile(buffer.str()));

  auto start = std::chrono::steady_clock::now();
  if (!openEngine(kEngineEspeak, 1, 0, 0, argv[2])) {
    std::fprintf(stderr, "espeak-ng voice did not open\n");
    return 1;
  }
  for (const std::string& piece : pieces) {
    speakText(piece);
    while (isSpeaking(true)) {}
  }
  closeEngine();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::ifstream wav(argv[2], std::ios::binary | std::ios::ate);
  double audio = (double(wav.tellg()) - 44) / 2 / 22050;
  std::printf("%.3f %.1f %zu\n", seconds, audio, pieces.size());
  restoreTerminal();
  return 0;
}
