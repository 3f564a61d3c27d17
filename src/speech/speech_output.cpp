// Saying things: the choice between the engine and the recorded voice,
// recordings and letter sounds, waiting for speech and silencing it.
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "sound/speech_level.h"
#include "sound/wav_buffer.h"
#include "console/console.h"
#include "speech/speech_state.h"
#include "engines/engines.h"
#include "engines/suite_synth.h"
#include "sound/wave_player.h"

namespace varlo {
namespace {

constexpr uint8_t kTab = 9;

bool fileExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Recordings made on another system may differ in letter case only.
std::string sameNameOtherCase(const std::string& path) {
  size_t slash = path.find_last_of('/');
  std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
  std::string name = path.substr(slash + 1);
  std::string found;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* entry = readdir(d)) {
      if (strcasecmp(entry->d_name, name.c_str()) == 0) {
        found = dir + "/" + entry->d_name;
        break;
      }
    }
    closedir(d);
  }
  return found;
}

}  // namespace

std::string existingFile(const std::string& path) {
  if (fileExists(path)) return path;
  std::string other = sameNameOtherCase(path);
  return !other.empty() && fileExists(other) ? other : std::string();
}

void playSoundFile(const std::string& path) {
  noteSound(SoundEvent::file, path);
  std::string actual = existingFile(path);
  if (!actual.empty()) playWaveFile(actual);
}

std::vector<uint8_t> recordedVoiceImage(const std::vector<uint8_t>& samples) {
  auto header = buildWavHeader(11025, 8, uint32_t(samples.size()), 1);
  std::vector<uint8_t> image(header.size() + samples.size());
  std::copy(header.begin(), header.end(), image.begin());
  std::copy(samples.begin(), samples.end(), image.begin() + header.size());
  return image;
}

void playSoundImage(const std::vector<uint8_t>& image) {
  playWaveImage(image.data(), image.size());
  waitWhileBusy();
}

// The console only shows its notice (a terminal too small for the grid);
// the user hears it once each time it appears, before whatever is said or
// read next (speech and key reads come through here). What the front end
// announced is heard once as well.
void sayDisplayNotice() {
  SpeechState& state = speechState();
  std::string announcement = takeAnnouncement();
  if (!announcement.empty()) speak(announcement);
  std::string notice = displayNotice();
  if (notice == state.displayNoticeSaid) return;
  state.displayNoticeSaid = notice;
  if (!notice.empty()) speak(notice);
}

// What the front end announces while the program waits for a key (the
// magnifier's zoom changed) is said at once; one announced while another is
// being said waits for the pump after it.
void sayAnnouncementNow() {
  SpeechState& state = speechState();
  if (state.announcing) return;
  std::string announcement = takeAnnouncement();
  if (announcement.empty()) return;
  state.announcing = true;
  stopSpeech();
  speak(announcement);
  state.announcing = false;
}

void waitWhileBusy() {
  sayDisplayNotice();
  while (isBusy()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

bool isBusy() {
  if (keyPending()) {
    stopSpeech();
    return false;
  }
  return isPlaying() || (speechState().engineOpen && isSpeaking(false));
}

void waitForEngine() {
  SpeechState& state = speechState();
  if (!state.waitBeforeNext) return;
  waitWhileBusy();
  state.waitBeforeNext = false;
}

void stopSpeech() {
  SpeechState& state = speechState();
  stopPlaying();
  state.stopRequested = true;
  if (state.engineOpen && (isSpeaking(false) || currentEngineType() == kEngineOlira)) {
    stopSpeaking();
  }
}

void speak(std::string_view text) {
  SpeechState& state = speechState();
  sayDisplayNotice();
  if (!state.engineOpen) {
    speakRecorded(text);
    return;
  }
  waitWhileBusy();
  if (keyPending()) return;
  if (engineLost()) {
    replaceLostEngine();
    if (!state.engineOpen) {
      speakRecorded(text);
      return;
    }
    waitWhileBusy();
  }
  speakText(text);
  state.waitBeforeNext = true;
}

std::string recordingPath(std::string_view key) {
  const std::string& dir = !key.empty() && key[0] == '_' ? lettersDirectory()
                                                         : soundDirectory();
  return dir + std::string(key) + ".wav";
}

bool recordingExists(std::string_view key) {
  return !existingFile(recordingPath(key)).empty();
}

void playRecording(std::string_view key) {
  waitForEngine();
  playSoundFile(recordingPath(key));
}

std::string letterSoundPath(uint8_t c) {
  const std::string dir = suiteLettersDirectory();
  std::string path = dir + "_" + std::to_string(c) + ".wav";
  return existingFile(path).empty() ? dir + "_unknown.wav" : path;
}

bool speakThroughEngine(std::string_view text) {
  if (!speechState().engineOpen) return false;
  speak(text);
  return true;
}

// Without the suite's letter sounds an open engine names the character, so
// that typed keys are still heard.
// The recorded letters are louder than the engines' voices: said among an
// engine's speech, a letter is brought to the loudness that voice has had.
double letterGain(const std::string& path) {
  double voice = speechState().engineOpen ? voiceLevel() : 0.0;
  double letter = voice > 0 ? fileLevel(path) : 0.0;
  return letter > 0 ? voice / letter : 1.0;
}

void sayChar(uint8_t c) {
  waitForEngine();
  if ((c >= 1 && c <= 11) || (c >= 13 && c <= 31)) return;
  std::string path = letterSoundPath(c);
  if (existingFile(path).empty() && speakThroughEngine(characterName(c))) return;
  WaveSettings& settings = waveSettings();
  double gain = settings.gain;
  settings.gain = letterGain(existingFile(path));
  playSoundFile(path);
  settings.gain = gain;
}

void spell(std::string_view text) {
  for (unsigned char c : text) {
    if (keyPending()) return;
    if (c == kTab) {
      playRecording("_FON9");
    } else {
      sayChar(c);
    }
  }
}

void writeSpeak(std::string_view text) {
  writeText(text);
  speak(text);
}

void writeLineSpeak(std::string_view text) {
  writeSpeak(text);
  writeText("\r\n");
}

void writeLineAside(std::string_view text) {
  if (speechOutputFile().empty()) {
    writeLineSpeak(text);
    return;
  }
  writeText(text);
  writeText("\r\n");
  speakRecorded(text);
}

void writeNumberSpeak(long long number) {
  writeSpeak(std::to_string(number));
}

}  // namespace varlo
