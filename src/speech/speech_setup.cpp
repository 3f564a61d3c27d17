// Start, reconfiguration and end of the speech front end, and the settings
// that follow the suite voice's speed level.
#include <cctype>
#include <climits>
#include <string>

#include "base/config.h"
#include "console/colour_scheme.h"
#include "console/console.h"
#include "console/magnifier.h"
#include "speech/speech_state.h"
#include "base/codepage.h"
#include "engines/engines.h"
#include "engines/suite_synth.h"
#include "sound/problem_report.h"
#include "sound/wave_player.h"

namespace varlo {
namespace {

SpeechState state;

// A setting as an integer; missing or not a number gives the default.
int settingInt(std::string_view section, const std::string& key, int fallback) {
  std::string value = readSetting(section, key);
  size_t start = value.find_first_not_of(" \t");
  if (start == std::string::npos) return fallback;
  size_t end = value.find_last_not_of(" \t");
  std::string digits = value.substr(start, end - start + 1);
  size_t i = (digits[0] == '-' || digits[0] == '+') ? 1 : 0;
  if (i == digits.size() || digits.find_first_not_of("0123456789", i) != std::string::npos ||
      digits.size() > 12) {
    return fallback;
  }
  long long number = std::stoll(digits);
  return number < INT_MIN || number > INT_MAX ? fallback : int(number);
}

// First letter, upper-cased, of a yes/no setting ('\0' when empty).
char settingLetter(std::string_view section, std::string_view key) {
  std::string value = readSetting(section, key);
  return value.empty() ? '\0' : char(std::toupper(static_cast<unsigned char>(value[0])));
}

// A [BAIXAVISAO] value in low .. high: missing gives whenMissing, anything
// else that is not such a number gives whenInvalid.
int lowVisionSetting(const std::string& key, int low, int high, int whenMissing, int whenInvalid) {
  if (readSetting("BAIXAVISAO", key).empty()) return whenMissing;
  int value = settingInt("BAIXAVISAO", key, INT_MIN);
  return value >= low && value <= high ? value : whenInvalid;
}

bool switchOn(std::string_view key) {
  char c = settingLetter("SINTETIZADOR", key);
  return c != '\0' && c != 'N';
}

void loadSpeedSettings(int level) {
  const std::string n = std::to_string(level);
  SuiteSynthTuning tuning;
  tuning.diphoneVoice = readSetting("SINTETIZADOR", "DIFONES" + n).substr(0, 8);
  tuning.cutLength = settingInt("SINTETIZADOR", "CORTEFON" + n, 0);
  tuning.minimumLength = settingInt("SINTETIZADOR", "SOBRAFON" + n, 0);
  tuning.wordGap = settingInt("SINTETIZADOR", "INTERPAL" + n, 0);
  setSuiteSynthTuning(tuning);
  waveSettings().cutPlayback = switchOn("CORTAFALA" + n);
  waveSettings().fastPlayback = switchOn("RAPIDINHO" + n);
  state.pauseFullStop = settingInt("SINTETIZADOR", "PAUSAPONTO" + n, 250);
  state.pauseComma = settingInt("SINTETIZADOR", "PAUSAVIRG" + n, 150);
  state.pauseColon = settingInt("SINTETIZADOR", "PAUSADOISPONTOS" + n, 200);
  state.speedLevel = level;
}

int validLevel(int level) {
  return level >= 1 && level <= 5 ? level : 3;
}

std::string withSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
  return dir;
}

std::string suiteVoiceError(int error) {
  return utf8ToCp1252("Erro de inicialização: ") + std::to_string(error);
}

std::string suiteVoiceName() {
  return "Banco de dados de voz: " +
         readSetting("SINTETIZADOR", "DIFONES" + std::to_string(state.speedLevel));
}

// The suite voice cannot start and no engine speaks: the user is told why,
// and the program ends.
[[noreturn]] void failSuiteVoice(int error) {
  writeText(suiteVoiceError(error) + "\r\n");
  writeText(suiteVoiceName() + "\r\n");
  shutdownSuiteSynth();
  readLine();
  closeConsole(1);
}

// The same report, printed and spoken by the open engine.
void reportSuiteVoice(int error) {
  writeLineSpeak(suiteVoiceError(error));
  writeLineSpeak(suiteVoiceName());
}

void closeOpenEngine() {
  if (state.engineOpen) closeEngine();
  state.engineOpen = false;
}

void openConfiguredEngine() {
  char sapi = settingLetter("TRADUTOR", "SAPI");
  if (sapi == '\0' || sapi == 'N') return;
  int voice = settingInt("SERVFALA", "VOZ", 0);
  int speed = settingInt("SERVFALA", "VELOCIDADE", 0);
  int pitch = settingInt("SERVFALA", "TOM", 0);
  int type = settingInt("SERVFALA", "TIPOSAPI", 0);
  if (type != kEngineOldInterface && speed > 10) speed = 0;
  state.engineOpen = openEngine(type, voice, speed, pitch, state.outputFile);
}

}  // namespace

void applyMagnifierSettings() {
  // The cursor's character is shown in inverse video: unless set apart,
  // its block takes the text colour.
  const ColourPair band = scheme::magnifier;
  int text = lowVisionSetting("CORLETRA", 0, 15, band.text, band.text);
  setMagnifierColours(text, lowVisionSetting("CORFUNDO", 0, 15, band.background, band.background),
                      lowVisionSetting("CORCURSOR", 0, 15, text, text));
  int zoom = lowVisionSetting("AMPLIACAO", 0, 10, 0, 3);
  if (zoom != 0) openConsole();
  startMagnifier(1, zoom);
}

SpeechState& speechState() { return state; }

void initSpeech(int speedLevel, std::string_view soundDir) {
  closeOpenEngine();   // a re-initialisation starts from a closed engine
  setProblemReporter(writeLineSpeak);   // problems met below are spoken too
  setLegacyLookup(settingLetter("MURENA", "LEGADO") == 'S');
  if (speedLevel <= 0) speedLevel = settingInt("TRADUTOR", "VELOCIDADE", 3);
  loadSpeedSettings(validLevel(speedLevel));
  if (state.synthLoaded) shutdownSuiteSynth();
  int error = initSuiteSynth();
  state.synthLoaded = error == 0;
  state.soundDir = withSlash(std::string(soundDir));
  state.lettersDir = suiteLettersDirectory();
  applyMagnifierSettings();
  setPumpHook(PumpHook::announcement, sayAnnouncementNow);
  openConfiguredEngine();
  // Without the recorded voice the program is mute only when no engine
  // opens either; with an engine the user is told and goes on.
  if (error != 0 && !state.engineOpen) failSuiteVoice(error);
  if (error != 0) reportSuiteVoice(error);
}

void reconfigureSpeech(int speedLevel, bool useEngine, int engineType,
                       int voice, int engineSpeed, int pitch) {
  stopSpeech();
  closeOpenEngine();
  loadSpeedSettings(validLevel(speedLevel));
  if (!useEngine) return;
  if (voice == 0) voice = settingInt("SERVFALA", "VOZ", 0);
  state.engineOpen = openEngine(engineType, voice, engineSpeed, pitch, state.outputFile);
}

void shutdownSpeech() {
  waitWhileBusy();
  stopSpeech();
  closeOpenEngine();
  if (state.synthLoaded) shutdownSuiteSynth();
  state.synthLoaded = false;
}

void setSpeechOutputFile(std::string_view path) { state.outputFile = path; }
const std::string& speechOutputFile() { return state.outputFile; }
bool engineActive() { return state.engineOpen; }

void replaceLostEngine() {
  int lostType = currentEngineType();
  closeOpenEngine();
  int type = settingInt("SERVFALA", "TIPOSAPI", kEngineEspeak);
  int speed = settingInt("SERVFALA", "VELOCIDADE", 0);
  if (type != lostType) {
    if (speed > 10) speed = 0;
    state.engineOpen = openEngine(type, settingInt("SERVFALA", "VOZ", 1), speed,
                                  settingInt("SERVFALA", "TOM", 0), state.outputFile);
  }
  if (!state.engineOpen) state.engineOpen = openEngine(kEngineEspeak, 1, 0, 0, state.outputFile);
  std::string notice = utf8ToCp1252("O servidor de fala parou de responder; em seu lugar fala a voz configurada.");
  if (state.engineOpen) {
    speakText(notice);
  } else {
    speakRecorded(notice);
  }
}

SpeechOptions& speechOptions() { return state.options; }
int speechSpeedLevel() { return state.speedLevel; }
const std::string& soundDirectory() { return state.soundDir; }

const std::string& lettersDirectory() {
  if (state.lettersDir.empty()) state.lettersDir = suiteLettersDirectory();
  return state.lettersDir;
}

void setSoundListener(SoundListener listener) { state.listener = listener; }

void noteSound(SoundEvent event, std::string_view detail) {
  if (state.listener) state.listener(event, detail);
}

}  // namespace varlo
