// WAV audio in memory and the joining of WAV files.
//
// TAmostras holds 16-bit samples frame after frame (a stereo frame is two
// values, left then right), loads and saves 8- and 16-bit PCM WAV files and
// converts rate and channel count. joinWav concatenates WAV files whose
// format may differ: every file is brought to the format of the first one
// and its samples are appended to a scratch file whose header is written
// last. Every WAV the program writes starts with buildWavHeader's 44 bytes,
// or, for audio past 4 GiB, with the 80 bytes of an RF64 header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace varlo {

// A frame as one value: left sample in the low 16 bits, right in the high
// 16 bits; a mono frame carries its sample in both halves. 0 is silence.
using Frame = uint32_t;
constexpr Frame kSilentFrame = 0;
inline Frame makeFrame(int16_t left, int16_t right) {
  return uint16_t(left) | (uint32_t(uint16_t(right)) << 16);
}
inline int16_t frameLeft(Frame f) { return int16_t(uint16_t(f & 0xFFFF)); }
inline int16_t frameRight(Frame f) { return int16_t(uint16_t(f >> 16)); }

// 8000, 11025, 16000, 22050, 32000, 44100 or 48000.
bool isAcceptedRate(int rate);

class TAmostras {
 public:
  TAmostras();                                            // mono, 22050 Hz, 16 bits
  TAmostras(int channels, int frames, int bits, int rate);  // frames of silence
  ~TAmostras();
  TAmostras(const TAmostras&) = delete;
  TAmostras& operator=(const TAmostras&) = delete;

  // Room for this many 16-bit values, keeping the content; false when the
  // sample limit forbids it or memory runs out (allocationFailed then true).
  bool reserve(size_t values);
  // Stores a frame, growing the buffer; a negative index is ignored. Mono
  // stores the average of the two halves.
  void setSample(int index, Frame frame);
  // The frame at index (mono duplicated into both halves); silence outside.
  Frame sampleAt(int index) const;
  int frameCount() const { return highestIndex_ + 1; }

  // 8- or 16-bit PCM WAV, mono or stereo. False for anything else, for a
  // short read of the samples, or when the file cannot be opened.
  bool load(const std::string& fileName);
  // Writes the header and the samples in `bits` (8 or 16) to a new file (a
  // link at the name is replaced, never followed); false when any write fails.
  bool save(const std::string& fileName) const;

  // This buffer becomes the source resampled to targetRate (linear
  // interpolation), keeping its channels and bits.
  void resampleFrom(const TAmostras& source, int targetRate);
  void setChannels(int count);   // 1 or 2: mixes down or duplicates
  void setBits(int bits) { bits_ = bits; }   // used when saving
  void setRate(int rate);        // ignored unless an accepted rate
  void setSampleLimit(int values) { sampleLimit_ = values; }   // 0: no limit
  void clear();

  int channels() const { return channels_; }
  int rate() const { return rate_; }
  int bits() const { return bits_; }
  int capacity() const { return capacity_; }
  bool allocationFailed() const { return allocationFailed_; }
  const std::vector<int16_t>& samples() const { return samples_; }

  // The sample data as save writes it after the header, and its size.
  bool writeSamples(std::FILE* file) const;
  size_t dataBytes() const;

 private:
  bool readSamples(std::FILE* file, uint64_t dataSize);
  bool writeEightBit(std::FILE* file) const;

  std::vector<int16_t> samples_;
  int highestIndex_ = -1;
  int sampleLimit_ = 0;
  bool allocationFailed_ = false;
  int channels_ = 1;
  int rate_ = 22050;
  int bits_ = 16;
  int capacity_ = 0;
};

// The canonical 44-byte header of a PCM WAV file.
std::array<uint8_t, 44> buildWavHeader(int rate, int bits, uint32_t dataSize, int channels);

// The most data a canonical header can describe: above it the RIFF size
// would wrap, and the RF64 form is written instead.
constexpr uint64_t kRiffDataLimit = 0xFFFFFFFFu - 36;
constexpr size_t kRf64HeaderBytes = 80;
// The header for dataSize bytes of PCM: buildWavHeader's while it fits,
// else RF64 (a ds64 chunk with the 64-bit sizes, 0xFFFFFFFF in the 32-bit
// fields).
std::vector<uint8_t> wavHeaderFor(int rate, int bits, uint64_t dataSize, int channels);
// Puts the final header on a file written as a 44-byte placeholder and then
// its samples (opened for reading too). Past kRiffDataLimit the samples are
// moved up to make room for the RF64 header. False when a read or write fails.
bool finishWavFile(std::FILE* file, int rate, int bits, int channels, uint64_t dataSize);

// Rewrites a WAV file in place in the given format; on failure says
// "Erro de gravação : " and the name, and returns false.
bool conformWav(const std::string& fileName, int rate, int bits, int channels);

enum class JoinResult {
  done,          // the target now holds the joined audio
  skipped,       // the join could not be made; the target is unchanged (said)
  diskFull,      // writing the result failed: the program must end (said)
};
// Joins fileName with the join target ("temp.wav" in the current directory):
// position 1 puts it before the target's audio, 2 after it. The first file
// decides the format; a file of another format is converted through a copy,
// so the user's file is never changed. Uses the scratch file "ARQ_WAV.$$$" in
// the target's directory.
// On diskFull the failure has been said ("Erro ao gravar arquivo, programa
// cancelado" when appending failed), the scratch file is gone and the target
// is untouched; the caller ends the program.
JoinResult joinWav(const std::string& fileName, int position,
                   const std::string& target = "temp.wav");

}  // namespace varlo
