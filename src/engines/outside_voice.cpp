// The outside voice: one run of the configured command per text, its WAV
// brought to the output file's format and appended to it.
#include "engines/outside_voice.h"

#include <cstdio>
#include <vector>

#include "base/codepage.h"
#include "base/regular_file.h"
#include "platform/process.h"
#include "sound/wav_buffer.h"
#include "sound/wave_riff.h"

namespace varlo {
namespace {

// Far more than a paragraph's sound: a command writing more is broken.
constexpr size_t kOutputLimit = size_t(512) << 20;

struct Outside {
  std::vector<std::string> command;
  int limitMs = 0;
  std::FILE* file = nullptr;
  int rate = 0;                 // of the output file; 0 until the first WAV
  uint64_t fileBytes = 0;
  bool fileFailed = false;
  OutsideFailure failure = OutsideFailure::none;
};

Outside o;

// A WAV image whose samples the program reads: 8- or 16-bit PCM, mono or
// stereo. A command writing to a pipe cannot go back to fill in the sizes,
// so the data runs to the end of what was written.
bool usableSound(const std::string& image, WaveImage& wave) {
  return parseWaveImage(reinterpret_cast<const uint8_t*>(image.data()), image.size(), wave) &&
         isPlayablePcm(wave.format) && wave.format.sampleRate > 0 &&
         (wave.format.bitsPerSample == 8 || wave.format.bitsPerSample == 16) &&
         (wave.format.channels == 1 || wave.format.channels == 2) &&
         wave.size >= size_t(wave.format.bitsPerSample / 8 * wave.format.channels);
}

void copySamples(const WaveImage& wave, TAmostras& samples) {
  size_t channels = wave.format.channels;
  size_t bytesPerSample = wave.format.bitsPerSample / 8;
  auto valueAt = [&](size_t index) {
    const uint8_t* p = wave.data + index * bytesPerSample;
    return bytesPerSample == 2 ? int16_t(readLe16(p)) : int16_t(p[0] * 256 - 32768);
  };
  for (int i = 0; i < samples.frameCount(); ++i) {
    int16_t left = valueAt(size_t(i) * channels);
    samples.setSample(i, makeFrame(left, channels == 2 ? valueAt(size_t(i) * channels + 1) : left));
  }
}

}  // namespace

bool outsideOpen(std::string_view command, int limitMs, std::string_view outputFile) {
  outsideClose();
  o = Outside{};
  o.command = splitCommand(command);
  o.limitMs = limitMs;
  if (o.command.empty()) return false;
  o.file = createOutputFile(std::string(outputFile), "w+b");
  if (!o.file) return false;
  auto header = buildWavHeader(22050, 16, 0, 1);
  o.fileFailed = std::fwrite(header.data(), 1, header.size(), o.file) != header.size();
  return !o.fileFailed;
}

void outsideClose() {
  if (!o.file) return;
  bool written = finishWavFile(o.file, o.rate ? o.rate : 22050, 16, 1, o.fileBytes);
  if (std::fclose(o.file) != 0 || !written) o.fileFailed = true;
  o.file = nullptr;
}

void outsideSpeak(std::string_view text) {
  if (!o.file || o.failure != OutsideFailure::none) return;
  std::string utf8 = cp1252ToUtf8(text);
  if (utf8.find_first_not_of(" \t\r\n") == std::string::npos) return;
  std::string image;
  int status = runProgramLimited(o.command, utf8, &image, o.limitMs, kOutputLimit);
  if (status == -1) o.failure = OutsideFailure::notStarted;
  else if (status == kProgramOverran) o.failure = OutsideFailure::overran;
  else if (status != 0) o.failure = OutsideFailure::failed;
  if (o.failure != OutsideFailure::none) return;
  WaveImage wave;
  if (!usableSound(image, wave)) {
    o.failure = OutsideFailure::noSound;
    return;
  }
  size_t frames = wave.size / (wave.format.bitsPerSample / 8 * wave.format.channels);
  TAmostras heard(wave.format.channels, int(frames), 16, int(wave.format.sampleRate));
  if (heard.frameCount() != int(frames)) {
    o.fileFailed = true;   // no memory for it: the recording is not whole
    return;
  }
  copySamples(wave, heard);
  if (o.rate == 0) o.rate = isAcceptedRate(heard.rate()) ? heard.rate() : 22050;
  TAmostras sound;
  sound.resampleFrom(heard, o.rate);
  sound.setChannels(1);
  if (!sound.writeSamples(o.file)) o.fileFailed = true;
  o.fileBytes += sound.dataBytes();
}

OutsideFailure outsideFailure() { return o.failure; }
bool outsideWriteFailed() { return o.fileFailed; }
uint64_t outsideOutputBytes() { return o.fileBytes; }

}  // namespace varlo
