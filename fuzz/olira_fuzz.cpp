// libFuzzer target: Olira's text front end with its shipped data, from a
// Windows-1252 text to letter-to-sound and phoneme lines. The first byte
// sets the speed and pitch factors.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engines/olira_voice.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string message;
  auto files = varlo::oliraFilesAt(std::string(VARLO_SOURCE_DIR) + "/data/olira", "portug");
  if (!varlo::loadVoiceData(files, message)) {
    std::fprintf(stderr, "Olira data: %s\n", message.c_str());
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::string_view text = varlo::fuzz::asText(data + 1, size - 1);
  double duration = 0.5 + (data[0] & 15) / 8.0;
  double pitch = 0.5 + (data[0] >> 4) / 8.0;
  varlo::letterToSoundLines(text);
  varlo::textToPhonemeLines(text, duration, pitch);
  return 0;
}
