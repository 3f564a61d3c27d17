// olira-phonemes: prints the phoneme lines the Olira voice makes of a text.
//   olira-phonemes [-w] [-d DIR] [-b BASE] [-s SPEED] [-p PITCH] [TEXT...]
// Without TEXT the lines of stdin are converted one by one. Text may be
// UTF-8 or Windows-1252; output is UTF-8. With -w every input line gives one
// output line of phoneme names ("k >a z ax"), words separated by " / ".
#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>

#include "base/config.h"
#include "base/codepage.h"
#include "engines/olira_driver.h"
#include "engines/olira_voice.h"

using namespace varlo;

namespace {

// One line of phoneme names for the text, words separated by " / ".
void printNames(const std::string& text) {
  std::string out;
  bool inWord = false;
  for (const std::string& line : letterToSoundLines(textFromFile(text))) {
    if (line.empty() || line[0] == ';' || line[0] == '_') {
      if (line.empty() && inWord) out += " /";
      inWord = false;
      continue;
    }
    out += " " + line;
    inWord = true;
  }
  std::cout << cp1252ToUtf8(out) << '\n';
}

void printLines(const std::string& text, double duration, double pitch) {
  for (const std::string& line : textToPhonemeLines(textFromFile(text), duration, pitch))
    std::cout << cp1252ToUtf8(line) << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = suiteDirectory() + "/olira", base = "portug";
  int speed = 0, pitch = 0, opt;
  bool names = false;
  while ((opt = getopt(argc, argv, "wd:b:s:p:")) != -1) {
    switch (opt) {
      case 'w': names = true; break;
      case 'd': dir = optarg; break;
      case 'b': base = optarg; break;
      case 's': speed = std::atoi(optarg); break;
      case 'p': pitch = std::atoi(optarg); break;
      default:
        std::cerr << "uso: olira-phonemes [-w] [-d DIR] [-b BASE] [-s VELOCIDADE] [-p TOM] [TEXTO...]\n";
        return 2;
    }
  }
  std::string message;
  bool loaded = loadVoiceData(oliraFilesAt(dir, base), message);
  if (!message.empty()) std::cerr << cp1252ToUtf8(message) << '\n';
  if (!loaded) return 1;
  double duration = oliraDurationFactor(speed), pitchFactor = oliraPitchFactor(pitch);
  if (optind < argc) {
    std::string text;
    for (int i = optind; i < argc; ++i) text += (i > optind ? " " : "") + std::string(argv[i]);
    names ? printNames(text) : printLines(text, duration, pitchFactor);
    return 0;
  }
  std::string line;
  while (std::getline(std::cin, line))
    names ? printNames(line) : printLines(line, duration, pitchFactor);
  return 0;
}
