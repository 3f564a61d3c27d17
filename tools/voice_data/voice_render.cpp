// Olira's speech brought to the suite voice's format: 16 kHz 16-bit samples
// resampled to 11025 Hz, trimmed of silence and made 8-bit at one gain for
// all, so that units keep Olira's level differences.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "base/codepage.h"
#include "base/config.h"
#include "engines/olira_voice.h"
#include "engines/synth.h"
#include "sound/wav_buffer.h"
#include "voice_data/voice_data.h"

namespace varlo::voicedata {
namespace {

constexpr int kSilence = 300;        // 16-bit level under which a sample is quiet
constexpr double kGain = 110.0 / 24000;   // 8-bit step per 16-bit step
constexpr int kFade = 40;            // samples faded in and out against clicks

std::vector<int16_t> readAll() {
  synthFlush();
  std::vector<int16_t> out, block(16000);
  for (int n; (n = synthRead(block.data(), int(block.size()))) > 0;)
    out.insert(out.end(), block.begin(), block.begin() + n);
  return out;
}

// Linear interpolation with a three-tap smoothing first, enough against
// aliasing for a voice whose energy lies well under 5 kHz.
std::vector<double> resample(const std::vector<int16_t>& in) {
  std::vector<double> smooth(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    double a = i > 0 ? in[i - 1] : in[i], b = in[i], c = i + 1 < in.size() ? in[i + 1] : in[i];
    smooth[i] = 0.25 * a + 0.5 * b + 0.25 * c;
  }
  std::vector<double> out;
  const double step = double(kSynthSampleRate) / kRate;
  for (double t = 0; t + 1 < double(smooth.size()); t += step) {
    size_t i = size_t(t);
    double f = t - double(i);
    out.push_back(smooth[i] * (1 - f) + smooth[i + 1] * f);
  }
  return out;
}

// The start is trimmed of silence, or, when `lead` is given, of exactly that
// many samples (a closure at the start then stays); the end of silence.
Samples toEightBit(std::vector<double> s, size_t lead) {
  auto loud = [](double v) { return std::fabs(v) > kSilence; };
  auto first = lead > 0 ? s.begin() + long(std::min(lead, s.size())) : std::find_if(s.begin(), s.end(), loud);
  auto last = std::find_if(s.rbegin(), s.rend(), loud).base();
  if (first >= last) return {};
  s = std::vector<double>(first, last);
  Samples out(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    double gain = kGain;
    size_t edge = std::min(i, s.size() - 1 - i);
    if (edge < size_t(kFade)) gain *= double(edge) / kFade;
    out[i] = uint8_t(std::clamp(std::lround(128 + s[i] * gain), 1L, 255L));
  }
  return out;
}

}  // namespace

bool openOlira(std::string& error) {
  const std::string dir = suiteDirectory() + "/olira";
  if (!loadVoiceData(oliraFilesAt(dir, "portug"), error)) return false;
  if (synthInit(dir + "/br4") < 0) {
    error = synthLastError();
    return false;
  }
  synthSetNoError(kSynthNoErrorSilence);
  return true;
}

void closeOlira() {
  synthClose();
  releaseVoiceData();
}

Samples renderPhonemes(const std::string& lines) {
  synthReset();
  synthWrite(lines);
  int pauseMs = 0;
  if (lines.starts_with("_ ")) pauseMs = std::atoi(lines.c_str() + 2);
  return toEightBit(resample(readAll()), size_t(pauseMs) * kRate / 1000);
}

Samples renderText(const std::string& utf8) {
  std::string lines;
  for (const std::string& line : textToPhonemeLines(utf8ToCp1252(utf8), 1.0, 1.0))
    lines += line + "\n";
  return renderPhonemes(lines);
}

bool writeWhole(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".tmp" + std::to_string(getpid());
  std::FILE* f = std::fopen(temporary.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  if (ok && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  std::remove(temporary.c_str());
  return false;
}

bool writeWav(const std::string& path, const Samples& samples) {
  const auto header = buildWavHeader(kRate, 8, uint32_t(samples.size()), 1);
  std::string bytes(header.begin(), header.end());
  bytes.append(samples.begin(), samples.end());
  return writeWhole(path, bytes);
}

}  // namespace varlo::voicedata
