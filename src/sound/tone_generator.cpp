// The tone generator: a square wave of the asked frequency, one second of it
// at most as an 8-bit 11025 Hz WAV image, looped until stopped.
#include "sound/tone_generator.h"

#include <vector>

#include "sound/wav_buffer.h"
#include "sound/wave_player.h"

namespace varlo {

namespace {

constexpr int kToneRate = 11025;

std::vector<uint8_t> toneImage;

std::vector<uint8_t> squareWave(int frequency) {
  std::vector<uint8_t> samples;
  int period = kToneRate / frequency;
  for (int k = 0;; ++k) {
    int start = k * kToneRate / frequency;
    if (start > kToneRate - period) break;
    int next = (k + 1) * kToneRate / frequency;
    samples.resize(size_t(next), 160);
    std::fill(samples.begin() + start, samples.begin() + start + period / 2 + 1, 96);
  }
  samples.push_back(128);
  return samples;
}

}  // namespace

void startTone(int frequency) {
  stopTone();
  if (frequency <= 0 || frequency > kToneRate) return;
  std::vector<uint8_t> samples = squareWave(frequency);
  auto header = buildWavHeader(kToneRate, 8, uint32_t(samples.size()), 1);
  toneImage.assign(header.begin(), header.end());
  toneImage.insert(toneImage.end(), samples.begin(), samples.end());
  loopWaveImage(toneImage.data(), toneImage.size());
}

// Sound that replaced the tone plays on.
void stopTone() {
  stopLoop();
  toneImage.clear();
}

}  // namespace varlo
