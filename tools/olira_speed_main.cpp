// olira-speed: renders a text with the built-in voice Olira (engine 3) and
// with the espeak-ng voice (engine 5) into WAV files, piece by piece as the
// conversion does, and prints the synthesis speed of each as a multiple of
// real time.
//   olira-speed TEXTFILE [OUTDIR]
// Pieces are the text's paragraphs (blank lines and "%" lines end them).
// The WAV files stay in OUTDIR (default /tmp) as olira.wav and espeak.wav.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "engines/engines.h"

using namespace varlo;

namespace {

std::vector<std::string> paragraphs(const std::string& text) {
  std::vector<std::string> pieces;
  std::string piece, line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line == "%") {
      if (!piece.empty()) pieces.push_back(piece);
      piece.clear();
    } else {
      piece += (piece.empty() ? "" : " ") + line;
    }
  }
  if (!piece.empty()) pieces.push_back(piece);
  return pieces;
}

// Seconds of audio in a 16-bit mono WAV file with a 44-byte header.
double audioSeconds(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  long size = long(in.tellg());
  in.seekg(24);
  unsigned char rate[4] = {};
  in.read(reinterpret_cast<char*>(rate), 4);
  long hz = rate[0] | rate[1] << 8 | rate[2] << 16 | long(rate[3]) << 24;
  return size > 44 && hz > 0 ? (size - 44) / 2.0 / double(hz) : 0;
}

// Renders every piece with one engine; the wall time in seconds, or -1.
double render(int engine, const std::vector<std::string>& pieces, const std::string& wav) {
  auto start = std::chrono::steady_clock::now();
  if (!openEngine(engine, 1, 0, 0, wav)) return -1;
  for (const std::string& piece : pieces) {
    speakText(piece);
    while (isSpeaking(true)) {
    }
  }
  while (isSpeaking(false)) {
  }
  closeEngine();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* name, int engine, const std::vector<std::string>& pieces,
            const std::string& wav) {
  double wall = render(engine, pieces, wav);
  if (wall < 0) {
    std::printf("%-8s could not be opened\n", name);
    return;
  }
  double audio = audioSeconds(wav);
  std::printf("%-8s %8.1f s of audio in %7.3f s: %7.1f x real time  (%s)\n", name, audio, wall,
              wall > 0 ? audio / wall : 0.0, wav.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "uso: olira-speed ARQUIVO-DE-TEXTO [DIRETÓRIO]\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "arquivo não encontrado: " << argv[1] << "\n";
    return 1;
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  std::vector<std::string> pieces = paragraphs(textFromFile(bytes.str()));
  std::string dir = argc > 2 ? argv[2] : "/tmp";
  std::printf("%zu pieces of text\n", pieces.size());
  report("olira", kEngineOlira, pieces, dir + "/olira.wav");
  report("espeak", kEngineEspeak, pieces, dir + "/espeak.wav");
  return 0;
}
