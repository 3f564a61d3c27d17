// Switching speech between the conversion voice and the menus' own voice.
#include "shell/voice_selection.h"

#include "base/config.h"
#include "speech/speech.h"

namespace varlo {

void selectConversionVoice(const AppState& s) {
  // What is being said (a hint, "Aguarde por favor") is heard to its end.
  waitWhileBusy();
  setSpeechOutputFile("");
  reconfigureSpeech(s.suiteSpeechSpeed, true, s.sapiType, s.sapiVoice, s.sapiSpeed, s.sapiPitch);
}

void restoreMenuVoice() {
  shutdownSpeech();
  initSpeech(0, readPathSetting("VARLO", "DIRVARLO"));
}

}  // namespace varlo
