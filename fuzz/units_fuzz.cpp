// libFuzzer target: the suite voice's translator with its shipped rules, and
// the diphone synthesizer reading unit strings and a segment index made of
// the input. The first byte picks what the rest is.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

#include "engines/diphone_voice.h"
#include "engines/unit_translator.h"
#include "fuzz_files.h"

namespace {

const std::string& voiceDirectory() {
  static const std::string dir = [] {
    std::string d = varlo::fuzz::scratchDirectory() + "/voice";
    mkdir(d.c_str(), 0700);
    return d;
  }();
  return dir;
}

std::string readShipped(const char* name) {
  std::string path = std::string(VARLO_SOURCE_DIR) + "/data/som/difones/" + name, text;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char block[4096];
    for (size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;) text.append(block, n);
    std::fclose(f);
  }
  return text;
}

// A voice whose index and data are the given bytes.
void loadVoice(std::string_view index, std::string_view data) {
  const std::string dir = voiceDirectory();
  varlo::fuzz::writeScratchFile("voice/regras.rgr", readShipped("regras.rgr"));
  varlo::fuzz::writeScratchFile("voice/portug.exc", readShipped("portug.exc"));
  varlo::fuzz::writeScratchFile("voice/DIFONES2.IND", index);
  varlo::fuzz::writeScratchFile("voice/DIFONES2.DIF", data);
  if (varlo::loadDiphoneVoice(dir, dir) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  varlo::setDiphoneOutput([](const uint8_t*, size_t) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::string_view rest = varlo::fuzz::asText(data + 1, size - 1);
  switch (data[0] % 3) {
    case 0:   // text through the translator and the synthesizer
      loadVoice("", "");
      varlo::speakUnits(varlo::translateText(rest), false);
      break;
    case 1:   // a raw unit string
      loadVoice("", "");
      varlo::speakUnits(rest, data[0] & 8);
      break;
    default: {   // an index and data file: the first half of the input each
      std::string_view index = rest.substr(0, rest.size() / 2);
      loadVoice(index, rest.substr(rest.size() / 2));
      varlo::speakUnits("[ka][pla] [bo][ ka~]", false);
    }
  }
  varlo::closeDiphoneVoice();
  return 0;
}
