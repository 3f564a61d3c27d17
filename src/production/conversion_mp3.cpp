// MP3 encoding of a rendered WAV file with lame: finding the encoder, its
// arguments and ID3 tags, and keeping the WAV when encoding fails.
#include "production/conversion_mp3.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>

#include "base/config.h"
#include "widgets/file_chooser.h"
#include "speech/speech.h"
#include "base/codepage.h"
#include "platform/process.h"
#include "platform/scratch_files.h"

namespace varlo {

namespace {

bool isExecutable(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

long fileSize(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? long(info.st_size) : -1;
}

// lame reads the tag texts through the locale; a UTF-8 one keeps their
// accents. The program itself never consults the locale.
int runWithUtf8Locale(const std::vector<std::string>& argv) {
  const char* old = std::getenv("LC_ALL");
  std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
  setenv("LC_ALL", "C.UTF-8", 1);
  int status = runProgram(argv, ProgramMode::background);
  if (saved)
    setenv("LC_ALL", saved->c_str(), 1);
  else
    unsetenv("LC_ALL");
  return status;
}

// A name that begins with "-" would be read by lame as an option.
std::string fileArgument(const std::string& name) {
  return !name.empty() && name[0] == '-' ? "./" + name : name;
}

}  // namespace

std::string defaultLamePath() {
  std::string suite = suiteDirectory();
  std::string inSuite = suite + (suite.empty() || suite.back() == '/' ? "" : "/") + "lame";
  return isExecutable(inSuite) ? inSuite : "lame";
}

std::vector<std::string> lameCommand() {
  std::vector<std::string> configured = splitCommand(readPathSetting("VARLO", "PROG_LAME"));
  return configured.empty() ? std::vector<std::string>{defaultLamePath()} : configured;
}

std::vector<std::string> lameArguments(const std::string& mp3Options, const Mp3Tags& tags,
                                       const std::string& wavName, const std::string& mp3Name) {
  std::vector<std::string> args;
  std::istringstream words(mp3Options);
  for (std::string word; words >> word;) args.push_back(word);
  if (!tags.title.empty()) args.insert(args.end(), {"--tt", tags.title});
  if (!tags.album.empty()) args.insert(args.end(), {"--tl", tags.album});
  if (tags.track > 0) args.insert(args.end(), {"--tn", std::to_string(tags.track)});
  args.insert(args.end(), {fileArgument(wavName), fileArgument(mp3Name)});
  return args;
}

Mp3Result encodeMp3(const std::string& mp3Options, const Mp3Tags& tags,
                    const std::string& wavName, const std::string& mp3Name,
                    const std::string& finalMp3Name) {
  // The encoder writes under a name of its own, which takes the final name
  // only once it is whole: a killed run leaves no short MP3 that looks done.
  const std::string partial = mp3Name + ".parcial";
  std::vector<std::string> argv = lameCommand();
  std::vector<std::string> arguments = lameArguments(mp3Options, tags, wavName, partial);
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  holdScratchFile(partial);
  int status = runWithUtf8Locale(argv);
  bool whole = status == 0 && fileSize(partial) > 0 &&
               std::rename(partial.c_str(), finalMp3Name.c_str()) == 0;
  releaseScratchFile(partial);
  if (status < 0) return Mp3Result::notStarted;
  if (!whole) {
    // A half-written MP3 is worse than none: the WAV stays for another try.
    std::remove(partial.c_str());
    beep();
    beep();
    writeLineSpeak(utf8ToCp1252("A conversão para MP3 falhou; o arquivo WAV foi mantido: ") +
                   displayName(wavName));
    return Mp3Result::failed;
  }
  std::remove(wavName.c_str());
  return Mp3Result::encoded;
}

}  // namespace varlo
