// Speech loudness measured over active windows, the engine's kept running.
#include "sound/speech_level.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "sound/wave_player.h"
#include "sound/wave_riff.h"
#include "base/regular_file.h"

namespace varlo {

namespace {

constexpr double kActiveThreshold = 0.00316;   // -50 dB of full scale
constexpr int kWindowsPerSecond = 50;           // 20 ms

LevelSum voice;
std::map<std::string, double> fileLevels;

double sampleAt(const uint8_t* data, size_t i, int bits) {
  if (bits == 8) return (double(data[i]) - 128.0) / 128.0;
  int16_t s = int16_t(uint16_t(data[2 * i]) | uint16_t(data[2 * i + 1]) << 8);
  return double(s) / 32768.0;
}

}  // namespace

void addLevel(LevelSum& sum, const uint8_t* data, size_t bytes, int rate, int bits) {
  if (bits != 8 && bits != 16) return;
  size_t count = bytes / size_t(bits / 8);
  size_t window = std::max<size_t>(1, size_t(rate / kWindowsPerSecond));
  for (size_t start = 0; start < count; start += window) {
    size_t end = std::min(count, start + window);
    double energy = 0;
    for (size_t i = start; i < end; ++i) {
      double s = sampleAt(data, i, bits);
      energy += s * s;
    }
    if (std::sqrt(energy / double(end - start)) < kActiveThreshold) continue;
    sum.energy += energy;
    sum.samples += end - start;
  }
}

double levelOf(const LevelSum& sum) {
  return sum.samples > 0 ? std::sqrt(sum.energy / double(sum.samples)) : 0.0;
}

void noteVoiceSamples(const uint8_t* data, size_t bytes, int rate, int bits) {
  addLevel(voice, data, bytes, rate, bits);
}

double voiceLevel() { return levelOf(voice); }

double fileLevel(const std::string& path) {
  auto known = fileLevels.find(path);
  if (known != fileLevels.end()) return known->second;
  double level = 0;
  std::FILE* file = openRegularFile(path, "rb");
  WaveFormat format;
  uint64_t dataSize = 0;
  if (file && seekWaveData(file, format, dataSize) && format.formatTag == 1) {
    std::vector<uint8_t> data(size_t(std::min<uint64_t>(dataSize, 1u << 22)));
    data.resize(std::fread(data.data(), 1, data.size(), file));
    LevelSum sum;
    addLevel(sum, data.data(), data.size(), int(format.sampleRate) * format.channels, format.bitsPerSample);
    level = levelOf(sum);
  }
  if (file) std::fclose(file);
  fileLevels[path] = level;
  return level;
}

double levelDb(double level) { return level > 0 ? 20.0 * std::log10(level) : -120.0; }

}  // namespace varlo
