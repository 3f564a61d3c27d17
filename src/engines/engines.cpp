// The engine dispatcher: every operation goes to the driver of the type of
// the last open (5 at start).
#include "engines/engines.h"

#include <chrono>
#include <thread>

#include "console/console.h"
#include "engines/espeak_driver.h"
#include "engines/olira_driver.h"

namespace varlo {
namespace {

enum class Driver { olira, none, espeak, espeakAlt };

struct Dispatcher {
  int type = kEngineEspeak;
  bool xml = false;
  bool espeakOpen = false;     // the espeak-ng driver holds a voice
  int voiceTotal[2] = {0, 0};  // per espeak variant, as found at its last open
  std::string outputFile;
  bool hookInstalled = false;
};

Dispatcher state;

Driver driverOf(int type) {
  switch (type) {
    case kEngineOlira: return Driver::olira;
    case kEngineOldInterface: return Driver::none;
    case kEngineEspeakAlt: return Driver::espeakAlt;
    default: return Driver::espeak;
  }
}

bool usesEspeak() {
  Driver d = driverOf(state.type);
  return d == Driver::espeak || d == Driver::espeakAlt;
}

// Live espeak-ng speech is fed to the sound layer on every pump.
void pumpSpeech() {
  if (state.espeakOpen && usesEspeak()) espeakPump();
}

void installHook() {
  if (state.hookInstalled) return;
  setPumpHook(PumpHook::speech, pumpSpeech);
  state.hookInstalled = true;
}

bool openDriver(int voiceNumber, int speed, int pitch, std::string_view outputFile) {
  switch (driverOf(state.type)) {
    case Driver::olira:
      return oliraOpen(voiceNumber, speed, pitch, std::string(outputFile));
    case Driver::none:
      return false;
    case Driver::espeak:
    case Driver::espeakAlt: {
      int& total = state.voiceTotal[driverOf(state.type) == Driver::espeakAlt];
      total = espeakVoiceTotal();
      state.espeakOpen = espeakOpen(voiceNumber, speed, outputFile);
      return state.espeakOpen;
    }
  }
  return false;
}

}  // namespace

int currentEngineType() { return state.type; }

bool openEngine(int engineType, int voiceNumber, int speed, int pitch,
                std::string_view outputFile) {
  installHook();
  state.type = engineType;
  state.xml = false;
  bool opened = openDriver(voiceNumber, speed, pitch, outputFile);
  state.outputFile = opened ? std::string(outputFile) : std::string();
  if (opened) {
    while (isSpeaking(true)) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return opened;
}

void closeEngine() {
  switch (driverOf(state.type)) {
    case Driver::olira: oliraClose(); break;
    case Driver::none: break;
    case Driver::espeak:
    case Driver::espeakAlt:
      if (state.espeakOpen) espeakClose();
      state.espeakOpen = false;
      break;
  }
  state.outputFile.clear();
}

void speakText(std::string_view text) {
  switch (driverOf(state.type)) {
    case Driver::olira: oliraSpeak(std::string(text)); break;
    case Driver::none: break;
    case Driver::espeak:
    case Driver::espeakAlt: espeakSpeak(text, state.xml); break;
  }
}

bool isSpeaking(bool queuedOnly) {
  pumpMessages();
  switch (driverOf(state.type)) {
    case Driver::olira: return oliraIsSpeaking();
    case Driver::none: return false;
    case Driver::espeak:
    case Driver::espeakAlt: return espeakIsSpeaking();
  }
  return false;
}

void stopSpeaking() {
  switch (driverOf(state.type)) {
    case Driver::olira: oliraStop(); break;
    case Driver::none: break;
    case Driver::espeak:
    case Driver::espeakAlt: espeakStop(); break;
  }
}

int voiceCount() {
  switch (driverOf(state.type)) {
    case Driver::olira: return 1;
    case Driver::none: return 0;
    case Driver::espeak: return state.voiceTotal[0];
    case Driver::espeakAlt: return state.voiceTotal[1];
  }
  return 0;
}

std::string voiceName(int voiceNumber) {
  switch (driverOf(state.type)) {
    case Driver::olira: return voiceNumber == 1 ? "Olira" : "";
    case Driver::none: return "";
    default: return voiceNumber <= voiceCount() ? espeakVoiceName(voiceNumber) : "";
  }
}

bool xmlMode() { return state.xml; }
void setXmlMode(bool on) { state.xml = on; }

const std::string& engineOutputFile() { return state.outputFile; }

bool engineOutputFailed() {
  if (driverOf(state.type) == Driver::olira) return oliraWriteFailed();
  return usesEspeak() && espeakWriteFailed();
}

}  // namespace varlo
