// synth-bench: how many times faster than real time the Olira phoneme
// synthesizer renders a long stretch of ordinary speech on one core.
//   synth-bench [seconds-of-speech]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engines/synth.h"

using namespace varlo;

namespace {

// A sentence of phoneme lines as the front end writes them: "a casa dos
// meus pais fica perto da praia", with pitch points on stressed vowels.
const char* const kSentence =
    "_ 100\na 90 50 230\nk 80\n>a 145 80 253\nz 60\nax 100 50 230\nd 60\nux 70\ns2 90\n"
    "m 70\ne 100 50 240\nw 60\ns2 90\np 80\n>a 140 80 260\ny 60\ns2 100\nf 90\n>i 140 80 250\n"
    "k 80\nax 90\np 80\n>eh 140 80 245\nr2 60\nt 70\nux 80\nd 60\nax 90\np 80\nr 30\n>a 150 80 235\n"
    "y 60\nax 120 50 190\n_ 200\n";

}  // namespace

int main(int argc, char** argv) {
  double seconds = argc > 1 ? std::atof(argv[1]) : 60;
  if (synthInit(std::string(VARLO_SUITE_DIR) + "/olira/br4") < 0) {
    std::fprintf(stderr, "synth-bench: %s\n", synthLastError().c_str());
    return 1;
  }
  synthSetNoError(kSynthNoErrorSilence);
  std::vector<int16_t> block(64000);
  long long samples = 0;
  auto t0 = std::chrono::steady_clock::now();
  while (samples < seconds * kSynthSampleRate) {
    synthWrite(kSentence);
    synthFlush();
    for (int n; (n = synthRead(block.data(), static_cast<int>(block.size()))) > 0;) samples += n;
  }
  double cpu = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  double audio = static_cast<double>(samples) / kSynthSampleRate;
  std::printf("synth-bench: %.1f s of speech in %.3f s: %.0f x real time\n", audio, cpu, audio / cpu);
  synthClose();
  return 0;
}
