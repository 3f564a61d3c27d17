// Olira's last stage: phoneme lines to the synthesizer, its samples played or
// written into a 16 kHz WAV file, a key press stopping live speech.
#include "engines/olira_output.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

#include "sound/wav_buffer.h"
#include "base/config.h"
#include "base/regular_file.h"
#include "console/console.h"
#include "engines/olira_text.h"
#include "engines/olira_voice.h"
#include "engines/synth.h"
#include "sound/problem_report.h"
#include "sound/wave_player.h"

namespace varlo {

namespace {

constexpr size_t kHeaderBytes = 44;
constexpr size_t kImageBytesMax = 64000;  // sample bytes of one played image
constexpr size_t kShortestImage = 256;
// Lines written before the synthesizer is drained at the next pause (or,
// in a text without punctuation, at the next word), so that its queue stays
// small whatever the length of the text.
constexpr size_t kLinesPerDrain = 2000;
constexpr size_t kLinesPerDrainAtWord = 8000;

std::string databasePath;
std::string outputName;
std::FILE* outputFile = nullptr;
bool ready = false;
double durationFactor = 1.0;
double pitchFactor = 1.0;
std::vector<uint8_t> image(kHeaderBytes + kImageBytesMax);  // header + samples
size_t imageBytes = 0;
bool interrupted = false;  // a key press silenced the text being spoken
bool outputFailed = false; // a write to the output file failed (a full disk)
uint64_t outputBytes = 0;  // sample bytes written to the output file

// The canonical 44-byte header of a 16 kHz 16-bit mono PCM WAV file.
void writeWavHeader(uint8_t* at, uint32_t dataBytes) {
  std::array<uint8_t, kHeaderBytes> header = buildWavHeader(kSynthSampleRate, 16, dataBytes, 1);
  std::memcpy(at, header.data(), kHeaderBytes);
}

std::string directoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string orDefault(const std::string& path, const char* extension) {
  if (!path.empty()) return path;
  return suiteDirectory() + "/olira/portug" + extension;
}

bool openOutputFile() {
  outputBytes = 0;
  outputFile = createOutputFile(outputName, "w+b");
  if (!outputFile) return false;
  uint8_t header[kHeaderBytes];
  writeWavHeader(header, 0);
  // Flushed at once: the file on disk holds a valid, empty WAV until close.
  if (std::fwrite(header, 1, kHeaderBytes, outputFile) != kHeaderBytes ||
      std::fflush(outputFile) != 0) {
    std::fclose(outputFile);
    outputFile = nullptr;
    return false;
  }
  return true;
}

void playImage() {
  if (imageBytes > 0 && imageBytes < kShortestImage) {
    std::memset(image.data() + kHeaderBytes + imageBytes, 0, kShortestImage - imageBytes);
    imageBytes = kShortestImage;
  }
  if (imageBytes == 0) return;
  writeWavHeader(image.data(), uint32_t(imageBytes));
  playWaveImage(image.data(), kHeaderBytes + imageBytes);
  imageBytes = 0;
}

bool keyStopsSpeech() { return waveSettings().keyInterrupt && keyPending(); }

// Moves every ready sample to the file or to the images; false on a write
// error. Live, a pending key stops the sound and drops the rest.
bool drainSamples() {
  bool ok = true;
  while (true) {
    if (outputFile) {
      int16_t block[8192];
      int n = synthRead(block, 8192);
      if (n <= 0) break;
      ok = std::fwrite(block, 2, size_t(n), outputFile) == size_t(n) && ok;
      outputBytes += size_t(n) * 2;
      if (!ok) outputFailed = true;
      continue;
    }
    size_t room = (kImageBytesMax - imageBytes) / 2;
    auto* at = reinterpret_cast<int16_t*>(image.data() + kHeaderBytes + imageBytes);
    int n = synthRead(at, int(room));
    if (n <= 0) break;
    imageBytes += size_t(n) * 2;
    if (imageBytes >= kImageBytesMax) playImage();
    if (keyStopsSpeech()) {
      stopPlaying();
      synthReset();
      imageBytes = 0;
      interrupted = true;
      break;
    }
  }
  return ok;
}

// Restarts the synthesizer after a write error.
void restartSynthesizer() {
  synthClose();
  synthInit(databasePath);
  synthSetNoError(kSynthNoErrorSilence);
}

bool synthesize(const std::vector<std::string>& lines) {
  bool ok = true;
  size_t sinceDrain = 0;
  interrupted = false;
  for (size_t i = 0; i < lines.size() && !interrupted; ++i) {
    bool last = i + 1 == lines.size();
    if (lines[i].empty() && !last) continue;
    if (synthWrite(lines[i] + "\r\n") < 0) {
      restartSynthesizer();
      ok = false;
    }
    bool pause = !lines[i].empty() && lines[i][0] == '_';
    bool word = !lines[i].empty() && lines[i][0] == ';';
    ++sinceDrain;
    if (last || (pause && sinceDrain >= kLinesPerDrain) ||
        (word && sinceDrain >= kLinesPerDrainAtWord)) {
      synthFlush();
      ok = drainSamples() && ok;
      sinceDrain = 0;
    }
  }
  return ok;
}

}  // namespace

bool initSynthesizer(const std::string& database, const std::string& rulesFile,
                     const std::string& exceptionsFile, const std::string& abbreviationsFile,
                     const std::string& prosodyFile, const std::string& diphonesFile) {
  closeSynthesizer();
  outputFailed = false;
  OliraDataFiles files{orDefault(rulesFile, ".nrl"), orDefault(exceptionsFile, ".exc"),
                       orDefault(abbreviationsFile, ".abr"), orDefault(prosodyFile, ".pro"),
                       orDefault(diphonesFile, ".dfn")};
  std::string name = database.empty() ? "br4" : database;
  databasePath = name.find('/') == std::string::npos ? directoryOf(files.rules) + name : name;
  if (synthInit(databasePath) < 0) return false;
  std::string message;
  bool loaded = loadVoiceData(files, message);
  if (!message.empty()) reportProblem(message);
  if (!loaded || (!outputName.empty() && !openOutputFile())) {
    releaseVoiceData();
    synthClose();
    return false;
  }
  synthSetNoError(0);
  imageBytes = 0;
  ready = true;
  return true;
}

void setOutputFile(std::string_view path) { outputName = path; }

bool outputFileFailed() { return outputFailed; }
uint64_t outputFileBytes() { return outputBytes; }

void setFactors(double duration, double pitch) {
  durationFactor = duration;
  pitchFactor = pitch;
}

bool speakPortuguese(std::string_view text) {
  if (trimBlanks(text).empty()) return true;
  if (!ready) return false;
  std::vector<std::string> lines = textToPhonemeLines(text, durationFactor, pitchFactor);
  WaveSwitchGuard plain({&WaveSettings::fastPlayback, &WaveSettings::cutPlayback}, false);
  synthReset();
  synthSetNoError(kSynthNoErrorSilence);
  bool ok = synthesize(lines);
  if (!outputFile && !interrupted) playImage();
  return ok;
}

void stopSynthesizer() {
  if (!outputFile) stopPlaying();
}

bool isSynthPlaying() { return !outputFile && ready && isPlaying(); }

void closeSynthesizer() {
  if (!ready) return;
  ready = false;
  if (outputFile) {
    long size = std::ftell(outputFile);
    uint64_t samples = uint64_t(size > long(kHeaderBytes) ? size - long(kHeaderBytes) : 0);
    bool written = size >= 0 && finishWavFile(outputFile, kSynthSampleRate, 16, 1, samples);
    if (std::fclose(outputFile) != 0 || !written) outputFailed = true;
    outputFile = nullptr;
  }
  releaseVoiceData();
  synthClose();
}

}  // namespace varlo
