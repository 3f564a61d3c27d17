// The diphone synthesizer's data and output: the segment index (searched by
// halving), the data file kept open while loaded, recorded letter files,
// and the output image that is flushed to the player.
#include "engines/diphone_store.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "engines/unit_translator.h"
#include "sound/wav_buffer.h"
#include "sound/wave_player.h"
#include "sound/wave_riff.h"

namespace varlo {
namespace {

struct Segment {
  std::string name;   // upper case
  uint16_t length = 0;
  uint32_t offset = 0;
};

struct Store {
  bool loaded = false;
  std::string lettersDir;
  std::vector<Segment> index;
  std::FILE* data = nullptr;
  long dataSize = 0;
  std::vector<uint8_t> image;
  size_t position = kDiphoneHeaderBytes;
  DiphoneOutput output;
  std::minstd_rand noise{20260};
  DiphoneTiming timing;
  DiphoneStats stats;
};

Store store;

bool isDirectory(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string withSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

bool readIndex(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::vector<uint8_t> bytes;
  uint8_t block[4096];
  for (size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;) bytes.insert(bytes.end(), block, block + n);
  std::fclose(f);
  // A cut record at the end is left out; every whole record is used, however
  // many there are.
  store.index.clear();
  for (size_t at = 0; at + kIndexRecordBytes <= bytes.size(); at += kIndexRecordBytes) {
    const uint8_t* r = &bytes[at];
    Segment s;
    s.name.assign(reinterpret_cast<const char*>(r + 1), std::min<size_t>(r[0], kSegmentNameLength));
    s.length = readLe16(r + 9);
    s.offset = readLe32(r + 11);
    store.index.push_back(std::move(s));
  }
  // Halving needs the order; an index written out of order is put right
  // rather than losing every segment past the first misplaced one.
  auto before = [](const Segment& a, const Segment& b) { return segmentNameBefore(a.name, b.name); };
  if (!std::is_sorted(store.index.begin(), store.index.end(), before))
    std::stable_sort(store.index.begin(), store.index.end(), before);
  return true;
}

void playImage(const uint8_t* image, size_t size) {
  playWaveImage(image, size);
  waitWhilePlaying();
}

void putLe16(uint8_t* p, uint32_t v) { p[0] = uint8_t(v), p[1] = uint8_t(v >> 8); }
void putLe32(uint8_t* p, uint32_t v) { putLe16(p, v & 0xFFFF), putLe16(p + 2, v >> 16); }

// Room for n more samples, flushing the image first when they do not fit.
size_t room(size_t n) {
  if (store.position + n >= kDiphoneImageBytes) flushOutput();
  return std::min(n, kDiphoneImageBytes - 1 - store.position);
}

}  // namespace

DiphoneTiming& diphoneTiming() { return store.timing; }
DiphoneStats& diphoneStats() { return store.stats; }

bool segmentNameBefore(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

void writeIndexRecord(uint8_t* record, std::string_view name, uint16_t length, uint32_t offset) {
  std::memset(record, 0, kIndexRecordBytes);
  name = name.substr(0, kSegmentNameLength);
  record[0] = uint8_t(name.size());
  std::memcpy(record + 1, name.data(), name.size());
  putLe16(record + 9, length);
  putLe32(record + 11, offset);
}

int loadDiphoneVoice(const std::string& lettersDir, const std::string& segmentsDir) {
  closeDiphoneVoice();
  if (!isDirectory(lettersDir) || !isDirectory(segmentsDir)) return 1;
  const std::string dir = withSlash(segmentsDir);
  if (!loadTranslatorRules(dir + "regras.rgr") || !loadTranslatorExceptions(dir + "portug.exc")) {
    releaseTranslatorRules();
    return 2;
  }
  if (!readIndex(dir + "DIFONES2.IND")) return releaseTranslatorRules(), 1;
  store.data = std::fopen((dir + "DIFONES2.DIF").c_str(), "rb");
  if (!store.data) {
    store.index.clear();
    releaseTranslatorRules();
    return 1;
  }
  std::fseek(store.data, 0, SEEK_END);
  store.dataSize = std::ftell(store.data);
  store.lettersDir = withSlash(lettersDir);
  store.image.assign(kDiphoneImageBytes, 128);
  store.position = kDiphoneHeaderBytes;
  store.loaded = true;
  return 0;
}

void closeDiphoneVoice() {
  if (store.data) std::fclose(store.data);
  store.data = nullptr;
  store.index.clear();
  store.image.clear();
  store.image.shrink_to_fit();
  releaseTranslatorRules();
  store.loaded = false;
}

bool diphoneVoiceLoaded() { return store.loaded; }

void setDiphoneOutput(DiphoneOutput output) { store.output = std::move(output); }

void resetOutput() { store.position = kDiphoneHeaderBytes; }

void appendSamples(const uint8_t* samples, size_t n) {
  while (n > 0 && store.loaded) {
    size_t part = room(n);
    std::memcpy(&store.image[store.position], samples, part);
    store.position += part;
    samples += part;
    n -= part;
  }
}

void appendFill(size_t n, bool noise) {
  while (n > 0 && store.loaded) {
    size_t part = room(n);
    for (size_t i = 0; i < part; ++i)
      store.image[store.position + i] = noise ? uint8_t(88 + store.noise() % 80) : 128;
    store.position += part;
    n -= part;
  }
}

bool appendSegment(std::string_view name, int mode, double factor) {
  std::string key(name);
  for (char& c : key)
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  auto before = [](const Segment& s, const std::string& k) { return segmentNameBefore(s.name, k); };
  auto it = std::lower_bound(store.index.begin(), store.index.end(), key, before);
  if (it == store.index.end() || it->name != key) return false;
  long n = it->length;
  const DiphoneTiming& t = store.timing;
  if (mode < 2 && key.size() >= 3) {
    n -= t.cut;
    if (n < t.keep) n = std::min<long>(t.keep, it->length);
  }
  long take = std::lround(std::max(0L, n) * factor);
  // A record that points past the end of the data file gives what is there.
  take = std::clamp(take, 0L, std::max(0L, store.dataSize - long(it->offset)));
  std::vector<uint8_t> samples(static_cast<size_t>(take));
  if (take > 0 && std::fseek(store.data, long(it->offset), SEEK_SET) == 0)
    samples.resize(std::fread(samples.data(), 1, samples.size(), store.data));
  appendSamples(samples.data(), samples.size());
  return true;
}

bool appendLetterFile(std::string_view name) {
  std::FILE* f = std::fopen((store.lettersDir + std::string(name) + ".wav").c_str(), "rb");
  if (!f) return false;
  WaveFormat format;
  uint64_t size = 0;
  std::vector<uint8_t> samples;
  // Only the voice's own format is joined; anything else would be noise.
  if (seekWaveData(f, format, size) && format.formatTag == 1 && format.channels == 1 &&
      format.sampleRate == kDiphoneRate && format.bitsPerSample == 8 && size <= kDiphoneImageBytes) {
    samples.resize(size_t(size));
    samples.resize(std::fread(samples.data(), 1, samples.size(), f));
  }
  std::fclose(f);
  if (samples.empty()) return false;
  appendSamples(samples.data(), samples.size());
  return true;
}

void flushOutput() {
  if (store.position <= kDiphoneHeaderBytes || !store.loaded) return;
  uint8_t* image = store.image.data();
  const auto header = buildWavHeader(kDiphoneRate, 8, uint32_t(store.position - kDiphoneHeaderBytes), 1);
  std::memcpy(image, header.data(), kDiphoneHeaderBytes);
  const size_t size = store.position;
  store.position = kDiphoneHeaderBytes;
  if (store.output) store.output(image, size);
  else playImage(image, size);
}

}  // namespace varlo
