// Switching speech between the conversion voice and the menus' own voice.
#include "shell/voice_selection.h"

#include <string>

#include "base/codepage.h"
#include "base/config.h"
#include "engines/engines.h"
#include "speech/speech.h"

namespace varlo {

namespace {

// The engine type last said to be missing; the trial loop of option V
// selects the voice at every key and says it once.
int toldMissingType = 0;

// The suite's own engine voice of [SERVFALA], else the first espeak-ng voice,
// so that a voice that cannot be opened here never leaves the user in silence.
void openFallbackVoice(const AppState& s) {
  int type = integerSetting("SERVFALA", "TIPOSAPI", kEngineEspeak);
  int speed = integerSetting("SERVFALA", "VELOCIDADE", 0);
  if (type != kEngineOldInterface && speed > 10) speed = 0;
  if (type != s.sapiType)
    reconfigureSpeech(s.suiteSpeechSpeed, true, type, integerSetting("SERVFALA", "VOZ", 1), speed,
                      integerSetting("SERVFALA", "TOM", 0));
  if (!engineActive()) reconfigureSpeech(s.suiteSpeechSpeed, true, kEngineEspeak, 1, 0, 0);
}

}  // namespace

void selectConversionVoice(const AppState& s) {
  // What is being said (a hint, "Aguarde por favor") is heard to its end.
  waitWhileBusy();
  setSpeechOutputFile("");
  reconfigureSpeech(s.suiteSpeechSpeed, true, s.sapiType, s.sapiVoice, s.sapiSpeed, s.sapiPitch);
  if (engineActive()) return;
  openFallbackVoice(s);
  if (toldMissingType == s.sapiType) return;
  toldMissingType = s.sapiType;
  beep();
  writeLineSpeak(utf8ToCp1252("A voz do tipo " + std::to_string(s.sapiType) +
                              " não está disponível neste sistema; em seu lugar fala a voz configurada."));
}

void restoreMenuVoice() {
  toldMissingType = 0;
  shutdownSpeech();
  initSpeech(0, readPathSetting("VARLO", "DIRVARLO"));
}

}  // namespace varlo
