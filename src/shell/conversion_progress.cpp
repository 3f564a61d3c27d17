// The progress of the text being recorded and the pause a key asks for
// meanwhile, both said live beside the recording.
#include "shell/conversion_progress.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "base/codepage.h"
#include "console/console.h"
#include "shell/app_state.h"
#include "speech/messages.h"
#include "speech/speech.h"

namespace varlo {

namespace {

using Clock = std::chrono::steady_clock;

struct Progress {
  int part = 0, parts = 0;
  uint64_t total = 0, done = 0;
  std::string wavPath;
  Clock::time_point start, lastSaid;
  int intervalSeconds = kDefaultProgressSeconds;
};

Progress progress;

double secondsSince(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

std::string counted(long n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// A catalogue message said live: its recording, or its text aside.
void sayAside(const char* key) {
  if (recordingExists(key)) {
    sayMessage(key, 1);
    waitWhileBusy();
  } else {
    writeLineAside(messageText(key));
  }
}

uint8_t readPlainKey() {
  uint8_t k = readKey();
  if (k == 0) readKey();
  return k;
}

// The pause of a key pressed during the recording; Esc then S ends the
// program, without leaving the unfinished recording behind.
void pauseRecording() {
  beep();
  beep();
  sayAside("VLUMATEC");
  sayAside("VLMODPAU");
  if (readPlainKey() == key::Esc) {
    sayAside("VLDCC");
    uint8_t answer = readPlainKey();
    if (answer == 'S' || answer == 's') {
      sayAside("VLOK");
      std::remove(progress.wavPath.c_str());
      farewell();
    }
  }
  flushKeys();
  sayAside("VLPAUDES");
}

}  // namespace

std::string progressText(int part, int parts, uint64_t done, uint64_t total, double elapsedSeconds) {
  int percent = total > 0 ? int(std::min(done, total) * 100 / total) : 0;
  std::string text = "Parte " + std::to_string(part) + " de " + std::to_string(parts) + ": " +
                     std::to_string(percent) + " por cento";
  if (done == 0 || done >= total) return utf8ToCp1252(text);
  long left = long(elapsedSeconds * double(total - done) / double(done) + 0.5);
  text += ", faltam ";
  if (left >= 60) text += counted(left / 60, "minuto", "minutos") + " e ";
  text += counted(left % 60, "segundo", "segundos");
  return utf8ToCp1252(text);
}

void setProgressPart(int part, int parts) {
  progress.part = part;
  progress.parts = parts;
}

void startProgress(uint64_t textBytes, const std::string& wavPath) {
  progress.total = textBytes;
  progress.done = 0;
  progress.wavPath = wavPath;
  progress.start = progress.lastSaid = Clock::now();
  progress.intervalSeconds = integerSetting("VARLO", "AVISOPROGRESSO", kDefaultProgressSeconds);
}

void countProgress(uint64_t bytes) { progress.done += bytes; }

void progressBetweenRequests() {
  if (keyPending()) pauseRecording();
  if (progress.intervalSeconds <= 0 || secondsSince(progress.lastSaid) < progress.intervalSeconds) return;
  writeLineAside(progressText(progress.part, progress.parts, progress.done, progress.total,
                              secondsSince(progress.start)));
  progress.lastSaid = Clock::now();
}

}  // namespace varlo
