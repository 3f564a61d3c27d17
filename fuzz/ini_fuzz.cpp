// libFuzzer target: the INI reader and writer, and settings read with their
// path macros from the input stored as the user's Murena.ini. The first line
// names "SECTION=KEY" to look up besides the suite's usual ones.
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/config.h"
#include "base/ini_file.h"
#include "fuzz_files.h"

namespace {

bool plainWord(std::string_view s) {
  if (s.empty() || s.size() > 40) return false;
  for (char c : s)
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  return true;
}

// A value written and read back in a plain word must come back as written.
void checkRoundTrip(std::string_view text, std::string_view section, std::string_view key) {
  if (!plainWord(section) || !plainWord(key)) return;
  std::string written = varlo::iniWithValue(text, section, key, "VALOR");
  auto back = varlo::iniValue(written, section, key);
  varlo::fuzz::require(back && *back == "VALOR", "iniWithValue then iniValue gives the value");
}

void lookUp(std::string_view text, std::string_view section, std::string_view key) {
  varlo::iniValue(text, section, key);
  checkRoundTrip(text, section, key);
  varlo::readSetting(section, key);
  varlo::readPathSetting(section, key);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const std::string& dir = varlo::fuzz::scratchDirectory();
  setenv("VARLO_SUITE", dir.c_str(), 1);
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  mkdir((dir + "/murena").c_str(), 0700);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text = varlo::fuzz::asText(data, size);
  std::string_view first = text.substr(0, text.find('\n'));
  size_t eq = first.find('=');
  varlo::fuzz::writeScratchFile("murena/Murena.ini", text);
  varlo::reloadSettings();
  if (eq != std::string_view::npos) lookUp(text, first.substr(0, eq), first.substr(eq + 1));
  lookUp(text, "MURENA", "PGMMURENA");
  lookUp(text, "VARLO", "CD");
  lookUp(text, "TRADUTOR", "SAIDADEAUDIO");
  return 0;
}
