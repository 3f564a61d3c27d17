// The engine dispatcher: every operation goes through the table of
// operations of the driver of the type of the last open (5 at start).
#include "engines/engines.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "base/config.h"
#include "console/console.h"
#include "engines/espeak_driver.h"
#include "engines/olira_driver.h"
#include "engines/outside_voice.h"
#include "engines/speechd_driver.h"

namespace varlo {
namespace {

// What a driver does for the dispatcher.
struct DriverOps {
  bool (*open)(int voiceNumber, int speed, int pitch, std::string_view outputFile);
  void (*close)();
  void (*speak)(std::string_view text);
  bool (*speaking)();
  void (*stop)();
  int (*voices)();
  std::string (*name)(int voiceNumber);
  bool (*writeFailed)();
  uint64_t (*outputBytes)();
  bool (*lost)();   // a server behind the voice went away
};

struct Dispatcher {
  int type = kEngineEspeak;
  bool xml = false;
  bool espeakOpen = false;     // the espeak-ng driver holds a voice
  int voiceTotal[2] = {0, 0};  // per espeak variant, as found at its last open
  bool toFile = false;         // the last open was for an output file
  std::string outputFile;
  bool hookInstalled = false;
};

Dispatcher state;

// The two espeak variants keep their own voice counts.
int& espeakTotal() { return state.voiceTotal[state.type == kEngineEspeakAlt]; }

const DriverOps kOlira = {
    [](int voice, int speed, int pitch, std::string_view out) {
      return oliraOpen(voice, speed, pitch, std::string(out));
    },
    oliraClose,
    [](std::string_view text) { oliraSpeak(std::string(text)); },
    oliraIsSpeaking,
    oliraStop,
    [] { return 1; },
    [](int voice) { return std::string(voice == 1 ? "Olira" : ""); },
    oliraWriteFailed,
    oliraOutputBytes,
    [] { return false; },
};

// The old engine interface is met by Speech Dispatcher on this platform.
const DriverOps kSpeechd = {
    speechdOpen,
    speechdClose,
    speechdSpeak,
    speechdIsSpeaking,
    speechdStop,
    speechdVoiceTotal,
    speechdVoiceName,
    [] { return false; },
    [] { return uint64_t(0); },
    speechdLost,
};

// Type 4 renders into files through the configured outside voice; its
// time limit is per text.
const DriverOps kOutside = {
    [](int, int, int, std::string_view out) {
      int seconds = 60;
      std::string limit = readSetting("TRADUTOR", "VOZEXTERNALIMITE");
      if (!limit.empty() && std::isdigit(static_cast<unsigned char>(limit[0])))
        seconds = std::max(1, std::atoi(limit.c_str()));
      return outsideOpen(readPathSetting("TRADUTOR", "VOZEXTERNA"), seconds * 1000, out);
    },
    outsideClose,
    outsideSpeak,
    [] { return false; },
    [] {},
    [] { return 1; },
    [](int voice) { return std::string(voice == 1 ? "Voz externa" : ""); },
    outsideWriteFailed,
    outsideOutputBytes,
    [] { return false; },
};

const DriverOps kEspeak = {
    [](int voice, int speed, int pitch, std::string_view out) {
      espeakTotal() = espeakVoiceTotal();
      state.espeakOpen = espeakOpen(voice, speed, out);
      return state.espeakOpen;
    },
    [] {
      if (state.espeakOpen) espeakClose();
      state.espeakOpen = false;
    },
    [](std::string_view text) { espeakSpeak(text, state.xml); },
    espeakIsSpeaking,
    espeakStop,
    [] { return espeakTotal(); },
    [](int voice) { return voice <= espeakTotal() ? espeakVoiceName(voice) : std::string(); },
    espeakWriteFailed,
    espeakOutputBytes,
    [] { return false; },
};

const DriverOps& driver() {
  if (state.type == kEngineOlira) return kOlira;
  if (state.type == kEngineOldInterface) return state.toFile ? kOutside : kSpeechd;
  return kEspeak;
}

// Live espeak-ng speech is fed to the sound layer on every pump; a key
// stops Speech Dispatcher's.
void pumpSpeech() {
  if (state.espeakOpen && &driver() == &kEspeak) espeakPump();
  if (&driver() == &kSpeechd) speechdPump();
}

void installHook() {
  if (state.hookInstalled) return;
  setPumpHook(PumpHook::speech, pumpSpeech);
  state.hookInstalled = true;
}

}  // namespace

int currentEngineType() { return state.type; }

bool openEngine(int engineType, int voiceNumber, int speed, int pitch,
                std::string_view outputFile) {
  installHook();
  state.type = engineType;
  state.toFile = !outputFile.empty();
  state.xml = false;
  bool opened = driver().open(voiceNumber, speed, pitch, outputFile);
  state.outputFile = opened ? std::string(outputFile) : std::string();
  if (opened) {
    while (isSpeaking(true)) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return opened;
}

void closeEngine() {
  driver().close();
  state.outputFile.clear();
}

void speakText(std::string_view text) { driver().speak(text); }

bool isSpeaking(bool queuedOnly) {
  pumpMessages();
  return driver().speaking();
}

void stopSpeaking() { driver().stop(); }
int voiceCount() { return driver().voices(); }
std::string voiceName(int voiceNumber) { return driver().name(voiceNumber); }

std::string voiceLanguage(int voiceNumber) {
  if (voiceName(voiceNumber).empty()) return "";
  if (state.type == kEngineOlira) return "pt-br";
  return &driver() == &kEspeak ? espeakVoiceLanguage(voiceNumber) : std::string();
}

bool xmlMode() { return state.xml; }
void setXmlMode(bool on) { state.xml = on; }

const std::string& engineOutputFile() { return state.outputFile; }
bool engineOutputFailed() { return driver().writeFailed(); }
uint64_t engineOutputBytes() { return driver().outputBytes(); }
bool engineLost() { return driver().lost(); }
OutsideFailure engineRecordingFailure() {
  return &driver() == &kOutside ? outsideFailure() : OutsideFailure::none;
}

}  // namespace varlo
