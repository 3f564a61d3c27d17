// libFuzzer target: the WAV readers and the joiner. The input is cut in two
// files (the first byte says where): the join target and the file joined to
// it, each also read alone into memory and as a memory image.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "fuzz_files.h"
#include "sound/problem_report.h"
#include "sound/wav_buffer.h"
#include "sound/wave_riff.h"

namespace {

void discard(std::string_view) {}

void readAlone(const std::string& path, std::string_view bytes) {
  varlo::TAmostras samples;
  samples.setSampleLimit(1 << 22);
  if (samples.load(path)) samples.dataBytes();
  varlo::WaveImage image;
  varlo::parseWaveImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), image);
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    varlo::WaveFormat format;
    uint32_t dataSize = 0;
    varlo::seekWaveData(f, format, dataSize);
    std::fclose(f);
  }
}

// The join writes its scratch file in the current directory: the scratch
// directory during the join, the fuzzer's own directory otherwise.
void joinInScratchDirectory(const std::string& joined, int position, const std::string& target) {
  static const std::string home = std::filesystem::current_path();
  if (chdir(varlo::fuzz::scratchDirectory().c_str()) != 0) std::abort();
  varlo::joinWav(joined, position, target);
  if (chdir(home.c_str()) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  varlo::setProblemReporter(discard);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varlo::fuzz;
  std::string_view first, second;
  if (!splitAtFirstByte(data, size, first, second)) return 0;
  std::string target = writeScratchFile("alvo.wav", first);
  std::string joined = writeScratchFile("junta.wav", second);
  readAlone(target, first);
  readAlone(joined, second);
  joinInScratchDirectory(joined, 1 + (data[0] & 1), target);
  return 0;
}
