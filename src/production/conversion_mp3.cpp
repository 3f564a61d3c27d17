// The lame command line: finding the encoder, its arguments and ID3 tags.
#include "production/conversion_mp3.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "base/config.h"
#include "platform/process.h"

namespace varlo {

namespace {

bool isExecutable(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// A name that begins with "-" would be read by lame as an option; "-"
// alone is its standard input.
std::string fileArgument(const std::string& name) {
  return name.size() > 1 && name[0] == '-' ? "./" + name : name;
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

}  // namespace varlo
