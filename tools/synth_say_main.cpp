// synth-say: reads phoneme lines on standard input and writes what the
// Olira synthesizer makes of them into a WAV file (16 kHz, 16-bit, mono).
//   printf '_ 100\nk 80\na 145 80 253\nz 60\nax 100 50 230\n_ 100\n' | synth-say casa.wav
// -s (strict): an unknown phoneme or a bad line makes the exit status 1
// (the WAV file is written all the same, unknown phonemes as silence).
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "base/config.h"
#include "engines/synth.h"

using namespace varlo;

namespace {

void put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

std::string wavHeader(uint32_t dataBytes) {
  std::string h = "RIFF";
  put32(h, 36 + dataBytes);
  h += "WAVEfmt ";
  put32(h, 16);
  put16(h, 1);
  put16(h, 1);
  put32(h, kSynthSampleRate);
  put32(h, kSynthSampleRate * 2);
  put16(h, 2);
  put16(h, 16);
  h += "data";
  put32(h, dataBytes);
  return h;
}

int usage() {
  std::cerr << "usage: synth-say [-s] [-d VOICE] OUT.wav  (phoneme lines on standard input)\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string voice = suiteDirectory() + "/olira/br4";
  std::string out;
  bool strict = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-s")
      strict = true;
    else if (a == "-d" && i + 1 < argc)
      voice = argv[++i];
    else if (out.empty() && !a.empty() && a[0] != '-')
      out = a;
    else
      return usage();
  }
  if (out.empty()) return usage();
  if (synthInit(voice) < 0) {
    std::cerr << "synth-say: " << synthLastError() << "\n";
    return 1;
  }
  synthSetNoError(strict ? 0 : kSynthNoErrorSilence);
  bool faulty = false;
  for (std::string line; std::getline(std::cin, line);) {
    if (synthWrite(line + "\n") < 0) {
      std::cerr << "synth-say: " << synthLastError() << "\n";
      faulty = true;
    }
  }
  synthFlush();
  std::vector<int16_t> samples;
  std::vector<int16_t> block(64000);
  for (int n; (n = synthRead(block.data(), static_cast<int>(block.size()))) > 0;)
    samples.insert(samples.end(), block.begin(), block.begin() + n);
  synthClose();
  std::string bytes = wavHeader(static_cast<uint32_t>(samples.size() * 2));
  for (int16_t s : samples) put16(bytes, static_cast<uint16_t>(s));
  FILE* f = std::fopen(out.c_str(), "wb");
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
    std::cerr << "synth-say: cannot write " << out << "\n";
    return 1;
  }
  return strict && faulty ? 1 : 0;
}
