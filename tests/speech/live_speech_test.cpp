// Live espeak-ng speech through the sound layer, recorded with the capture
// sink: it goes on in the background and a key press silences it.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "speech/speech.h"
#include "platform/audio_capture_reader.h"
#include "platform/audio_sink.h"
#include "engines/engines.h"
#include "sound/wave_player.h"
#include "speech_fixture.h"

namespace varlo::test {
namespace {

using std::chrono::steady_clock;

int64_t nowMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             steady_clock::now().time_since_epoch()).count();
}

const char* const kLongText =
    "Era uma vez, numa cidade pequena do interior, um menino que gostava muito de "
    "livros. Todos os dias ele ia a biblioteca e voltava para casa com tres ou quatro "
    "volumes debaixo do braco, e lia ate tarde da noite, ate os olhos fecharem sozinhos.";

class LiveSpeech : public SpeechFixture {
 protected:
  fs::path capture;

  void SetUp() override {
    SpeechFixture::SetUp();
    capture = root / "captura.raw";
    setenv("VARLO_AUDIO", ("capture:" + capture.string()).c_str(), 1);
    resetAudioSink();
  }

  void TearDown() override {
    closeEngine();
    closeWavePlayer();
    setenv("VARLO_AUDIO", "null", 1);
    resetAudioSink();
    SpeechFixture::TearDown();
  }

  // Seconds of 16-bit mono audio at 22050 Hz.
  static double seconds(size_t bytes) { return bytes / 2.0 / 22050.0; }
};

TEST_F(LiveSpeech, SpeechGoesOnInTheBackgroundAndAKeyCutsIt) {
  ASSERT_TRUE(openEngine(kEngineEspeak, 1, 0, 0, ""));
  auto start = steady_clock::now();
  speakText(kLongText);
  EXPECT_LT(steady_clock::now() - start, std::chrono::milliseconds(100));
  pause(800);
  ASSERT_TRUE(isSpeaking(false));

  int64_t keyTime = nowMicros();
  injectKeys("x");
  while (isSpeaking(false) && nowMicros() - keyTime < 3'000'000) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  int64_t silentAt = nowMicros();
  EXPECT_FALSE(isSpeaking(false));
  flushKeys();

  auto records = readCapture(capture.string());
  int64_t lastPlay = 0, stopTime = 0;
  for (const CaptureRecord& r : records) {
    if (r.kind == CaptureRecord::Kind::play) lastPlay = r.time;
    if (r.kind == CaptureRecord::Kind::stop && r.time >= keyTime && stopTime == 0) {
      stopTime = r.time;
    }
  }
  ASSERT_NE(stopTime, 0) << "the sound layer was never stopped";
  EXPECT_LE(lastPlay, stopTime) << "speech was handed over after the stop";
  // Heard: roughly what was spoken before the key, far from the whole text.
  double heard = seconds(heardBytes(records).size());
  EXPECT_GT(heard, 0.3);
  EXPECT_LT(heard, 3.0);
  double cutMs = (stopTime - keyTime) / 1000.0;
  std::cout << "key to end of sound: " << cutMs << " ms; key to silent engine: "
            << (silentAt - keyTime) / 1000.0 << " ms; heard " << heard << " s\n";
  // Generous bound: the figure itself is reported, this only catches speech
  // that runs on after the key.
  EXPECT_LT(cutMs, 1000.0);
}

TEST_F(LiveSpeech, WholeTextIsHeardWhenNobodyInterrupts) {
  ASSERT_TRUE(openEngine(kEngineEspeak, 1, 0, 0, ""));
  speakText("Bom dia.");
  speakText("Boa noite.");
  auto start = steady_clock::now();
  while (isSpeaking(false) && steady_clock::now() - start < std::chrono::seconds(10)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  waitWhilePlaying();
  double elapsed = std::chrono::duration<double>(steady_clock::now() - start).count();
  auto records = readCapture(capture.string());
  double heard = seconds(heardBytes(records).size());
  EXPECT_GT(heard, 0.8);
  // Speech is paced to real time, not dumped at once...
  EXPECT_GT(elapsed, heard * 0.7);
  // ...yet handed over early enough that the device never runs dry.
  double deviceEnd = 0, worstGap = 0;
  for (const CaptureRecord& r : records) {
    if (r.kind != CaptureRecord::Kind::play) continue;
    double at = r.time / 1e6;
    if (deviceEnd > 0) worstGap = std::max(worstGap, at - deviceEnd);
    deviceEnd = std::max(deviceEnd, at) + seconds(r.data.size());
  }
  std::cout << "longest gap in the sound: " << worstGap * 1000 << " ms\n";
  EXPECT_LT(worstGap, 0.3);
  closeEngine();
}

}  // namespace
}  // namespace varlo::test
