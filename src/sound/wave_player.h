// The one wave player: recorded WAV files, WAV images in memory and raw PCM
// samples all go through a fixed ring of 16 buffers of 8192 bytes to the
// sound layer (platform/audio_sink.h). One output device, one set of buffers.
//
// Completed buffers come back only through pumpMessages (the player installs
// its pump hook on first use), so anything that waits for sound must keep
// pumping; isPlaying does so itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace varlo {

constexpr int kWaveBuffers = 16;
constexpr size_t kWaveBufferBytes = 8192;

// The 16-byte PCM format record: format tag, channels, sample rate, average
// bytes per second, block align, bits per sample.
struct WaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint32_t bytesPerSecond = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
};

// Where the samples of a PCM WAV file are.
struct WaveInfo {
  WaveFormat format;
  uint64_t dataSize = 0;     // size of the "data" chunk as written in the file
  uint64_t dataOffset = 0;   // file offset of its first sample
};

// Switches of the player, read on every call.
struct WaveSettings {
  int outputDevice = -1;      // -1: the default device; else a listOutputDevices index
  bool keyInterrupt = true;   // a pending key press stops playback
  bool noWait = false;        // playWaveFile returns without waiting for the end
  bool fastPlayback = false;  // play everything at 1.5 times the sample rate
  bool cutPlayback = false;   // shorten mono speech (compressSpeech), play as 8-bit
  double gain = 1.0;          // files and images played louder or softer by this factor
};
WaveSettings& waveSettings();

// Gives switches of the player a value for the life of the guard, then puts
// back what each held: sounds that must play plain (an engine's speech, the
// click) or without waiting (the field editor's echo).
struct WaveSwitchGuard {
  using Switch = bool WaveSettings::*;
  WaveSwitchGuard(std::initializer_list<Switch> switches, bool value);
  ~WaveSwitchGuard();
  WaveSwitchGuard(const WaveSwitchGuard&) = delete;
  WaveSwitchGuard& operator=(const WaveSwitchGuard&) = delete;

  // Fixed room (the switches are four): it guards each piece of live
  // speech, so it allocates nothing.
  struct Saved { Switch which; bool value; };
  static constexpr int kMost = 4;
  Saved saved[kMost];
  int count = 0;
};

// Plays a WAV file: 0 when all of it was handed to the device, -1 when the
// file cannot be opened or is not a usable WAV file, else the device's error.
// Unless noWait is set, returns only when playback has ended or was stopped.
// With cutPlayback, a file of the same name in the subdirectory "rapido" of
// the file's directory is played instead (unchanged) when it exists.
int playWaveFile(const std::string& path);
// Plays a RIFF image held in memory (a "fmt " chunk at byte 12, then chunks
// up to "data"). Returns once all samples are queued: 0, -1 for an image
// that is not RIFF/WAVE PCM, or the device's error.
int playWaveImage(const uint8_t* image, size_t size);
// Queues raw PCM samples of an engine's live speech, whose loudness is kept
// (speech_level.h); 0 or the device's error code.
int playSamples(const void* data, size_t length, int rate, int channels, int bits);
// Plays a WAV image over and over until stopPlaying or other sound replaces
// it (the tone generator). Looping sound does not count for isPlaying.
int loopWaveImage(const uint8_t* image, size_t size);
// Ends looping sound only; other sound plays on.
void stopLoop();

// Background sound the player pulls while pumping (music files, the MIDI
// synthesizer). One stream at a time. It takes the device only when no other
// sound is queued, so speech plays between its pieces and the stream goes on
// after it; a stream does not count for isPlaying.
struct WaveStream {
  int rate = 0;
  int bits = 0;
  int channels = 0;
  void* owner = nullptr;
  // Fills at most capacity bytes (whole frames); 0 ends the stream.
  size_t (*read)(void* owner, uint8_t* buffer, size_t capacity) = nullptr;
  // Queued bytes a reset threw away unheard (the owner may read them again).
  void (*dropped)(void* owner, size_t bytes) = nullptr;
  // The stream ended by itself, or another stream or loop replaced it.
  void (*ended)(void* owner) = nullptr;
};
// Starts pulling from a stream, replacing any stream or loop; 0 or the
// device's error. The owner's own stream, still live, just reads on.
int startStream(const WaveStream& stream);
// Ends the owner's stream, throwing away what is queued (reported through
// dropped, not ended); nothing when the stream is not the owner's.
void stopStream(const void* owner);
// True while the owner's stream is being pulled or its buffers play.
bool streamRunning(const void* owner);
// Bytes of the stream handed to the device and not yet finished.
size_t streamBytesQueued();

// Pumps messages; a pending key (with keyInterrupt) or an empty ring stops
// the device. True while buffers are still playing.
bool isPlaying();
// Drops everything queued (and any loop) at once.
void stopPlaying();
// Waits while isPlaying.
void waitWhilePlaying();
// Program end: stops and closes the device.
void closeWavePlayer();

// Succeeds only for a RIFF file with "fmt " at byte 12 (or an RF64 file) whose format tag is 1
// (PCM) and which has a "data" chunk. Tags are compared without regard to
// case; chunk sizes are used as written.
bool readWaveInfo(const std::string& path, WaveInfo& info);

// Device names of the sound layer, and the number of one (case ignored).
std::vector<std::string> listOutputDevices();
bool findOutputDevice(std::string_view name, int& device);

// Shortens one piece of mono speech in place by dropping every other stretch
// between two signal peaks; 16-bit input becomes unsigned 8-bit. Returns the
// new number of (8-bit) samples; pieces under 1000 samples keep their length.
size_t compressSpeech(uint8_t* piece, size_t bytes, int bits, int rate);
// The sample rate played when fastPlayback is on (x 1.5, halves to even).
int fastRate(int rate);

}  // namespace varlo
