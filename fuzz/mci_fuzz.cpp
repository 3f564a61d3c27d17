// libFuzzer target: MCI command strings and the sound files they open. The
// input is cut in two (the first byte says where): a sound file, and lines
// of commands in which "$F" stands for that file's path. The sound layer is
// the null sink, so plays end at once.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "console/console.h"
#include "console/headless_front_end.h"
#include "fuzz_files.h"
#include "sound/mci.h"
#include "sound/sound_file.h"

namespace {

// Reads the whole file as PCM, as playing it would.
void decodeAll(const std::string& path) {
  varlo::SoundFile sound;
  if (varlo::openSoundFile(path, varlo::SoundFileKind::unknown, sound) !=
      varlo::SoundFileError::none)
    return;
  uint8_t buffer[8192];
  for (int pieces = 0; pieces < 64 && varlo::readSoundFile(sound, buffer, sizeof buffer) > 0;
       ++pieces) {
  }
  varlo::seekSoundFile(sound, sound.frames / 2);
  varlo::readSoundFile(sound, buffer, sizeof buffer);
  varlo::closeSoundFile(sound);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("VARLO_AUDIO", "null", 1);
  setenv("VARLO_CONSOLE", "headless", 1);
  varlo::openConsole();
  varlo::setHeadlessEndsWithInput(false);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varlo::fuzz;
  std::string_view sound, commands;
  if (!splitAtFirstByte(data, size, sound, commands)) return 0;
  std::string path = writeScratchFile("som", sound);
  decodeAll(path);
  while (!commands.empty()) {
    size_t end = commands.find('\n');
    std::string line(commands.substr(0, end));
    commands = end == std::string_view::npos ? std::string_view() : commands.substr(end + 1);
    for (size_t at = line.find("$F"); at != std::string::npos; at = line.find("$F", at))
      line.replace(at, 2, path);
    varlo::MciReply reply = varlo::mciSendString(line);
    require((reply.error == 0) == (reply.text.rfind("Erro MCI", 0) != 0),
            "an error has its text and a success none of it");
  }
  varlo::mciCloseAll();
  return 0;
}
