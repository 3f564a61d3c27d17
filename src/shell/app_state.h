// The program-wide state of the application shell and audio production,
// created at start-up and alive until the end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlo {

// The selection holds at most this many file names; listings stop there.
constexpr int kMaxSelection = 999;

struct AlternateVoices {
  bool active = false;
  int type = 0, voice = 0, speed = 0, pitch = 0;
};

struct AppState {
  bool sapiAvailableAtStart = false;
  bool useSapi = false;
  std::string suiteDirectory;
  std::string projectDirectory;
  std::string audioSubdirectory;
  std::string scriptsDirectory;
  std::string cdDrive;
  int suiteSpeechSpeed = 2;
  int sapiType = 3;
  int sapiVoice = 0, sapiSpeed = 0, sapiPitch = 0;
  std::string announceFiles = "SIM";
  std::string withEffect = "NAO";
  std::string withSilence = "NAO";
  std::string writeHeader = "SIM";
  std::string qualityLow = "--abr 40";
  std::string qualityHigh = "--abr 80";
  std::string qualityMax = "--abr 160";
  std::string mp3Options = "--abr 80";
  bool noTextFiles = false, noPartFiles = false;
  bool commandLineMode = false;
  bool voiceChosen = false;
  bool newProjectMode = false;
  std::string savedProjectDirectory;
  std::string copyTargetDirectory;
  bool mp3Output = false;
  // "MP3" (the audio files of today), "DAISY" or "EPUB": [VARLO] FORMATOLIVRO.
  std::string bookFormat = "MP3";
  std::string bookAuthor;   // [VARLO] AUTORLIVRO; the book's title is its file's name
  AlternateVoices alternateVoices;
  int linesPerPart = 0;
  // File names of the project directory that conversion and division work
  // on (never more than kMaxSelection).
  std::vector<std::string> selection;
};

// The one instance.
AppState& appState();

// Fill the state from the settings, as start-up does (steps 6 to 15).
void loadAppState(AppState& state);
// Load the conversion voice on its first use (option C, T, the settings
// dialog): [VARLO] TIPOSAPI, NUMEROSAPI, VELOCIDADESAPI, TONALIDADESAPI.
// Nothing is done once a voice was chosen (settings dialog, option V).
void loadVoiceOnFirstUse(AppState& state);
// "SIM"/"NAO" judged by the first letter.
bool isYes(const std::string& value);
// A setting read as a whole integer; fallback when it is not one.
int integerSetting(std::string_view section, std::string_view key, int fallback);

// The farewell: closing recording and message, engines closed, console
// closed; the process ends with `status` (not 0 only for a one-shot job
// that failed, so that batch callers can tell). A non-empty `note` is
// printed on standard output once the terminal is given back, where it stays
// for the caller to read after the screen is gone.
[[noreturn]] void farewell(int status = 0, const std::string& note = {});

}  // namespace varlo
