// The program-wide state: loading it from the [VARLO] settings, the
// conversion voice on first use, and the farewell that ends the program.
#include "shell/app_state.h"

#include <charconv>
#include <cstdio>
#include <unistd.h>

#include "base/config.h"
#include "console/console.h"
#include "speech/speech.h"
#include "speech/messages.h"
#include "sound/wave_player.h"

namespace varlo {

int integerSetting(std::string_view section, std::string_view key, int fallback) {
  std::string v = readSetting(section, key);
  int value = 0;
  auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
  return ec == std::errc() && end == v.data() + v.size() && !v.empty() ? value : fallback;
}

namespace {

std::string settingOr(std::string_view key, const char* fallback) {
  std::string v = readSetting("VARLO", key);
  return v.empty() ? fallback : v;
}

std::string currentDirectory() {
  char buf[4096];
  return getcwd(buf, sizeof buf) ? buf : ".";
}

}  // namespace

AppState& appState() {
  static AppState state;
  return state;
}

bool isYes(const std::string& value) {
  return !value.empty() && (value[0] == 'S' || value[0] == 's');
}

void loadAppState(AppState& s) {
  s.suiteDirectory = readPathSetting("MURENA", "PGMMURENA");
  s.projectDirectory = readPathSetting("VARLO", "DIRTXT");
  if (s.projectDirectory.empty()) s.projectDirectory = currentDirectory();
  s.audioSubdirectory.clear();
  // The user's own, writable: an installed suite's data is not.
  s.scriptsDirectory = userDataDirectory() + "/scripts";
  s.cdDrive = readPathSetting("VARLO", "CD");
  s.suiteSpeechSpeed = integerSetting("TRADUTOR", "VELOCIDADE", 2);
  s.sapiType = integerSetting("SERVFALA", "TIPOSAPI", 3);
  s.announceFiles = settingOr("CLEK", "SIM");
  s.withEffect = settingOr("COMEFEITO", "NAO");
  s.withSilence = settingOr("COMSILENCIO", "NAO");
  s.writeHeader = settingOr("ESCREVECABEC", "SIM");
  s.qualityLow = settingOr("QBAIXA", "--abr 40");
  s.qualityHigh = settingOr("QALTA", "--abr 80");
  s.qualityMax = settingOr("QMAXIMA", "--abr 160");
  // The whole value decides here; the settings dialog looks at the first letter.
  std::string quality = upperText(readSetting("VARLO", "QUALIDADEMP3"));
  s.mp3Options = quality == "B" ? s.qualityLow : quality == "M" ? s.qualityMax : s.qualityHigh;
  std::string format = upperText(readSetting("VARLO", "FORMATOLIVRO"));
  s.bookFormat = format == "DAISY" || format == "EPUB" ? format : "MP3";
  s.bookAuthor = readSetting("VARLO", "AUTORLIVRO");
  s.noTextFiles = s.noPartFiles = false;
  s.commandLineMode = s.voiceChosen = s.newProjectMode = false;
}

void loadVoiceOnFirstUse(AppState& s) {
  if (s.useSapi && s.voiceChosen) return;
  s.sapiType = integerSetting("VARLO", "TIPOSAPI", integerSetting("SERVFALA", "TIPOSAPI", 3));
  s.sapiVoice = integerSetting("VARLO", "NUMEROSAPI", 1);
  s.sapiSpeed = integerSetting("VARLO", "VELOCIDADESAPI", 0);
  s.sapiPitch = integerSetting("VARLO", "TONALIDADESAPI", 0);
  s.useSapi = true;
  s.voiceChosen = true;
}

void farewell(int status, const std::string& note) {
  playRecording("VLSAI");
  sayMessage("VLFIM", 0);
  waitWhileBusy();
  pause(1000);
  shutdownSpeech();
  closeWavePlayer();
  if (!note.empty()) {
    restoreTerminal();
    std::fputs((note + "\n").c_str(), stdout);
    std::fflush(stdout);
  }
  closeConsole(status);
}

}  // namespace varlo
