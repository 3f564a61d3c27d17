// TAmostras: 16-bit samples in memory, loaded from and saved to PCM WAV
// files, resampled and remixed; and the canonical WAV header.
#include "sound/wav_buffer.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>

#include "base/regular_file.h"
#include "sound/wave_player.h"
#include "sound/wave_riff.h"

namespace varlo {

namespace {

constexpr size_t kLoadBlock = 65534;
constexpr size_t kSaveBlock = 32768;
constexpr int kFirstCapacity = 30000;

void putLe16(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

void putLe32(uint8_t* p, uint32_t v) {
  putLe16(p, v);
  putLe16(p + 2, v >> 16);
}

void putLe64(uint8_t* p, uint64_t v) {
  putLe32(p, uint32_t(v));
  putLe32(p + 4, uint32_t(v >> 32));
}

int16_t clampSample(double v) {
  return int16_t(std::clamp(std::trunc(v), -32768.0, 32767.0));
}

bool writeAll(std::FILE* file, const void* data, size_t n) {
  return std::fwrite(data, 1, n, file) == n;
}

// Bytes left in a file from its current position.
uint64_t bytesLeft(std::FILE* file) {
  long here = std::ftell(file);
  if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
  long end = std::ftell(file);
  std::fseek(file, here, SEEK_SET);
  return end > here ? uint64_t(end - here) : 0;
}

}  // namespace

bool isAcceptedRate(int rate) {
  switch (rate) {
    case 8000: case 11025: case 16000: case 22050: case 32000: case 44100: case 48000:
      return true;
    default:
      return false;
  }
}

std::array<uint8_t, 44> buildWavHeader(int rate, int bits, uint32_t dataSize, int channels) {
  std::array<uint8_t, 44> h{};
  uint32_t blockAlign = uint32_t(channels * (bits / 8));
  std::copy_n("RIFF", 4, h.begin());
  putLe32(&h[4], dataSize + 36);
  std::copy_n("WAVEfmt ", 8, h.begin() + 8);
  putLe32(&h[16], 16);
  putLe16(&h[20], 1);
  putLe16(&h[22], uint32_t(channels));
  putLe32(&h[24], uint32_t(rate));
  putLe32(&h[28], blockAlign * uint32_t(rate));
  putLe16(&h[32], blockAlign);
  putLe16(&h[34], uint32_t(bits));
  std::copy_n("data", 4, h.begin() + 36);
  putLe32(&h[40], dataSize);
  return h;
}

std::vector<uint8_t> wavHeaderFor(int rate, int bits, uint64_t dataSize, int channels) {
  if (dataSize <= kRiffDataLimit) {
    auto canonical = buildWavHeader(rate, bits, uint32_t(dataSize), channels);
    return std::vector<uint8_t>(canonical.begin(), canonical.end());
  }
  // The canonical layout with "RF64" and a ds64 chunk before "fmt ".
  auto canonical = buildWavHeader(rate, bits, 0xFFFFFFFFu, channels);
  std::vector<uint8_t> h(kRf64HeaderBytes);
  std::copy_n("RF64", 4, h.begin());
  putLe32(&h[4], 0xFFFFFFFFu);
  std::copy_n("WAVEds64", 8, h.begin() + 8);
  putLe32(&h[16], 28);
  uint64_t frameBytes = uint64_t(std::max(1, channels * (bits / 8)));
  putLe64(&h[20], dataSize + kRf64HeaderBytes - 8);   // the RIFF size
  putLe64(&h[28], dataSize);
  putLe64(&h[36], dataSize / frameBytes);             // samples per channel
  putLe32(&h[44], 0);                                 // no table
  std::copy(canonical.begin() + 12, canonical.end(), h.begin() + 48);
  return h;
}

bool finishWavFile(std::FILE* file, int rate, int bits, int channels, uint64_t dataSize) {
  std::vector<uint8_t> header = wavHeaderFor(rate, bits, dataSize, channels);
  size_t shift = header.size() - 44;
  if (shift > 0) {
    // Moved from the end down, so no block is overwritten before it is read.
    if (std::fseek(file, 0, SEEK_END) != 0) return false;
    long end = std::ftell(file);
    std::vector<uint8_t> block(1 << 20);
    for (long at = end; at > 44;) {
      long from = std::max(44L, at - long(block.size()));
      size_t n = size_t(at - from);
      if (std::fseek(file, from, SEEK_SET) != 0 || std::fread(block.data(), 1, n, file) != n ||
          std::fseek(file, from + long(shift), SEEK_SET) != 0 || !writeAll(file, block.data(), n))
        return false;
      at = from;
    }
  }
  return std::fseek(file, 0, SEEK_SET) == 0 && writeAll(file, header.data(), header.size()) &&
         std::fflush(file) == 0;
}

TAmostras::TAmostras() = default;

TAmostras::TAmostras(int channels, int frames, int bits, int rate)
    : channels_(channels), rate_(rate), bits_(bits) {
  if (frames > 0 && reserve(size_t(frames) * size_t(channels))) {
    capacity_ = frames;
    highestIndex_ = frames - 1;
  }
}

TAmostras::~TAmostras() { clear(); }

bool TAmostras::reserve(size_t values) {
  allocationFailed_ = true;
  if (sampleLimit_ > 0 && size_t(sampleLimit_) < values) return false;
  try {
    samples_.resize(values);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  allocationFailed_ = false;
  return true;
}

void TAmostras::setSample(int index, Frame frame) {
  if (index < 0) return;
  if (index >= capacity_) {
    double grown = index <= 24999 ? kFirstCapacity : std::trunc(index * 1.2);
    int newCapacity = int(std::min(grown, double(INT32_MAX)));
    if (newCapacity <= index) newCapacity = index + 1;
    if (!reserve(size_t(newCapacity) * size_t(channels_))) return;
    capacity_ = newCapacity;   // new frames are silent: resize zero-fills
  }
  int16_t left = frameLeft(frame);
  int16_t right = frameRight(frame);
  if (channels_ == 1) {
    samples_[size_t(index)] = int16_t((left + right) / 2);
  } else {
    samples_[2 * size_t(index)] = left;
    samples_[2 * size_t(index) + 1] = right;
  }
  highestIndex_ = std::max(highestIndex_, index);
}

Frame TAmostras::sampleAt(int index) const {
  if (index < 0 || index >= frameCount()) return kSilentFrame;
  if (channels_ == 1) return makeFrame(samples_[size_t(index)], samples_[size_t(index)]);
  return makeFrame(samples_[2 * size_t(index)], samples_[2 * size_t(index) + 1]);
}

void TAmostras::setRate(int rate) {
  if (isAcceptedRate(rate)) rate_ = rate;
}

void TAmostras::clear() {
  // Playback copies samples into its own buffers, so nothing here can be
  // playing: freeing needs no stop.
  std::vector<int16_t>().swap(samples_);
  capacity_ = 0;
  highestIndex_ = -1;
}

bool TAmostras::load(const std::string& fileName) {
  std::FILE* file = openRegularFile(fileName, "rb");
  if (!file) return false;
  clear();
  WaveFormat format;
  uint64_t dataSize = 0;
  bool ok = seekWaveData(file, format, dataSize) && format.formatTag == 1 &&
            (format.bitsPerSample == 8 || format.bitsPerSample == 16) &&
            (format.channels == 1 || format.channels == 2);
  if (ok) {
    channels_ = format.channels;
    rate_ = int(format.sampleRate);
    bits_ = format.bitsPerSample;
    ok = readSamples(file, dataSize);
  }
  std::fclose(file);
  return ok;
}

// Reads the data chunk: 16-bit samples as they are, 8-bit byte b as
// b * 256 - 32768. The buffer is sized by what the file really holds, so a
// size field larger than the file cannot make it allocate without bound.
bool TAmostras::readSamples(std::FILE* file, uint64_t dataSize) {
  if (dataSize == 0) return true;
  size_t bytesPerSample = size_t(bits_ / 8);
  size_t available = size_t(std::min<uint64_t>(dataSize, bytesLeft(file)));
  size_t frames = available / (size_t(channels_) * bytesPerSample);
  if (frames > size_t(INT32_MAX)) return false;
  setSample(int(frames) - 1, kSilentFrame);
  if (frames > 0 && allocationFailed_) return false;
  size_t values = frames * size_t(channels_);
  std::vector<uint8_t> block(kLoadBlock);
  size_t stored = 0;
  for (uint64_t left = dataSize; left > 0;) {
    size_t want = size_t(std::min<uint64_t>(left, kLoadBlock));
    size_t got = std::fread(block.data(), 1, want, file);
    for (size_t i = 0; i + bytesPerSample <= got && stored < values; i += bytesPerSample)
      samples_[stored++] = bytesPerSample == 2 ? int16_t(readLe16(&block[i]))
                                               : int16_t(block[i] * 256 - 32768);
    if (got < want) return false;
    left -= got;
  }
  return true;
}

size_t TAmostras::dataBytes() const {
  return size_t(frameCount()) * size_t(channels_) * size_t(bits_ / 8);
}

// 8-bit output: unsigned bytes, mono from the average of the two halves.
bool TAmostras::writeEightBit(std::FILE* file) const {
  std::vector<uint8_t> out;
  out.reserve(kSaveBlock);
  for (int i = 0; i < frameCount(); ++i) {
    Frame f = sampleAt(i);
    if (channels_ == 1) {
      int m = (frameLeft(f) + frameRight(f)) / 2;
      out.push_back(uint8_t(m / 256 - 128));
    } else {
      out.push_back(uint8_t((frameLeft(f) >> 8) - 128));
      out.push_back(uint8_t((frameRight(f) >> 8) - 128));
    }
    if (out.size() + 2 > kSaveBlock) {
      if (!writeAll(file, out.data(), out.size())) return false;
      out.clear();
    }
  }
  return writeAll(file, out.data(), out.size());
}

bool TAmostras::writeSamples(std::FILE* file) const {
  if (bits_ == 8) return writeEightBit(file);
  if (bits_ != 16) return false;
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(samples_.data());
  for (size_t done = 0, total = dataBytes(); done < total;) {
    size_t n = std::min(total - done, kSaveBlock);
    if (!writeAll(file, bytes + done, n)) return false;
    done += n;
  }
  return true;
}

bool TAmostras::save(const std::string& fileName) const {
  if (bits_ != 8 && bits_ != 16) return false;
  std::FILE* file = createScratchFile(fileName, "wb");
  if (!file) return false;
  auto header = wavHeaderFor(rate_, bits_, dataBytes(), channels_);
  bool ok = writeAll(file, header.data(), header.size()) && writeSamples(file);
  ok = (std::fclose(file) == 0) && ok;
  return ok;
}

void TAmostras::setChannels(int count) {
  if (count == channels_) return;
  size_t frames = size_t(frameCount());
  if (channels_ == 2) {
    for (size_t i = 0; i < frames; ++i)
      samples_[i] = int16_t(samples_[2 * i] / 2 + samples_[2 * i + 1] / 2);
    channels_ = 1;
    samples_.resize(frames);
  } else {
    if (!reserve(frames * 2)) return;
    for (size_t i = frames; i-- > 0;) samples_[2 * i] = samples_[2 * i + 1] = samples_[i];
    channels_ = 2;
  }
  capacity_ = int(frames);
}

void TAmostras::resampleFrom(const TAmostras& source, int targetRate) {
  if (!isAcceptedRate(rate_)) return;
  clear();
  channels_ = source.channels_;
  bits_ = source.bits_;
  rate_ = source.rate_;
  int count = source.frameCount();
  if (targetRate == rate_ || !isAcceptedRate(targetRate)) {   // kept as it is
    setSample(count - 1, kSilentFrame);
    for (int i = 0; i < count; ++i) setSample(i, source.sampleAt(i));
    return;
  }
  if (rate_ <= 0) return;
  setRate(targetRate);
  double ratio = double(source.rate_) / targetRate;
  double wanted = std::trunc(count / ratio);
  if (wanted < 1 || wanted > INT32_MAX) return;
  int frames = int(wanted);
  setSample(frames - 1, kSilentFrame);
  double x = 0;
  for (int k = 0; k + 1 < frames; ++k, x += ratio) {
    int i = int(std::trunc(x));
    double g = x - i;
    Frame a = source.sampleAt(i);
    if (g == 0) {
      setSample(k, a);
      continue;
    }
    Frame b = source.sampleAt(i + 1);
    setSample(k, makeFrame(clampSample(g * (frameLeft(b) - frameLeft(a)) + frameLeft(a)),
                           clampSample(g * (frameRight(b) - frameRight(a)) + frameRight(a))));
  }
}

}  // namespace varlo
