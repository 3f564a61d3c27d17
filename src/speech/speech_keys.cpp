// Keys read with speech: the echo of typed keys, silencing on a key press,
// and the pauses of the recorded voice that a key press cuts short.
#include <string>

#include "console/console.h"
#include "speech/number_reading.h"
#include "speech/speech_state.h"

namespace varlo {
namespace {

constexpr uint8_t kAltQ = 16, kAltE = 18;

}  // namespace

uint8_t readKeySpeak() {
  uint8_t key = readKey();
  stopSpeech();
  sayChar(key);
  return key;
}

uint8_t readKeyEcho(uint8_t& extended) {
  uint8_t key;
  for (;;) {
    waitWhileBusy();
    key = readKey();
    extended = 0;
    if (key == 222 || key == 223) continue;
    if (key == 0) {
      extended = readKey();
      if (extended >= kAltQ && extended <= kAltE) {
        key = readKey();
        extended = key == 0 ? readKey() : 0;
      }
    }
    if (key == 0 && extended == key::F8) {
      sayTime();
      continue;
    }
    break;
  }
  if (key > 31) {
    writeText(std::string(1, char(key)));
    sayChar(key);
  }
  return key;
}

uint8_t readAnswerKey() {
  uint8_t key = readKeySpeak();
  if (key == 0)
    readKey();
  else if (key >= ' ')
    writeText(std::string(1, char(key)));
  writeText("\r\n");
  return key;
}

void flushKeys() { flushKeyQueue(); }

void pauseSpeech(int milliseconds) {
  noteSound(SoundEvent::pause, std::to_string(milliseconds));
  for (int i = 0; i < milliseconds / 50; ++i) {
    if (keyPending()) return;
    pause(50);
  }
}

}  // namespace varlo
