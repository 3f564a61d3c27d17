// Sounds played from memory or from tone files: the click, the refusal beep
// and telephone tones.
#include "speech/speech_sounds.h"

#include <random>
#include <string>

#include "console/console.h"
#include "speech/speech_state.h"
#include "engines/suite_synth.h"
#include "sound/wave_player.h"

namespace varlo {
namespace {

std::vector<uint8_t> buildClick() {
  std::minstd_rand random{std::random_device{}()};
  std::vector<uint8_t> samples(256, 128);
  for (int i = 0; i < 64; ++i) samples[i] = uint8_t(128 + random() % 60);
  return recordedVoiceImage(samples);
}

std::vector<uint8_t> buildBeep() {
  static constexpr uint8_t pattern[] = {128, 112, 96, 80, 64, 80, 96, 112};
  std::vector<uint8_t> samples(512);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = pattern[i % 8];
  samples.back() = 128;
  return recordedVoiceImage(samples);
}

// The tone file of a telephone key, "" for other characters.
std::string toneName(uint8_t c) {
  if (c >= '0' && c <= '9') return std::string(1, char(c));
  if (c == '#') return "#";
  if (c == '*') return "X";
  return "";
}

}  // namespace

const std::vector<uint8_t>& clickSound() {
  static const std::vector<uint8_t> sound = buildClick();
  return sound;
}

const std::vector<uint8_t>& beepSound() {
  static const std::vector<uint8_t> sound = buildBeep();
  return sound;
}

void click() {
  waitForEngine();
  WaveSwitchGuard uncut({&WaveSettings::cutPlayback}, false);
  noteSound(SoundEvent::click, "");
  playSoundImage(clickSound());
}

void beep() {
  waitForEngine();
  flushKeys();
  noteSound(SoundEvent::beep, "");
  playSoundImage(beepSound());
}

void dialTones(std::string_view digits) {
  WaveSwitchGuard normalSpeed({&WaveSettings::fastPlayback}, false);
  const std::string dir = suiteLettersDirectory();
  for (unsigned char c : upperText(digits)) {
    if (keyPending()) break;
    if (c == ',') {
      noteSound(SoundEvent::pause, "1000");
      pause(1000);
      continue;
    }
    std::string tone = toneName(c);
    if (tone.empty()) continue;
    playSoundFile(dir + "dtmf_" + tone + ".wav");
    waitWhileBusy();
    pause(100);
  }
}

}  // namespace varlo
