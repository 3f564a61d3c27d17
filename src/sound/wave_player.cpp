// The ring of 16 buffers between the program and the sound layer, and the
// ways of filling it: raw samples, WAV images, WAV files, looping images and
// one background stream.
#include "sound/wave_player.h"
#include "sound/speech_level.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

#include "base/config.h"
#include "base/regular_file.h"
#include "console/console.h"
#include "platform/audio_sink.h"
#include "sound/wave_riff.h"

namespace varlo {

namespace {

// What a ring buffer carries, for the count it belongs to.
enum class Use : uint8_t { sound, loop, stream };

struct Player {
  std::array<std::array<uint8_t, kWaveBufferBytes>, kWaveBuffers> buffers{};
  std::array<Use, kWaveBuffers> uses{};
  std::array<size_t, kWaveBuffers> streamBytes{};  // stream bytes each buffer holds
  std::array<uint8_t, kWaveBufferBytes> readBuffer{};
  std::array<uint8_t, kWaveBufferBytes> cutBuffer{};
  std::array<uint8_t, kWaveBufferBytes> gainBuffer{};
  int inFlight = 0;        // buffers of ordinary sound at the device
  int loopInFlight = 0;    // buffers of looping sound at the device
  int streamInFlight = 0;  // buffers of the stream at the device
  int lastBuffer = 0;      // 1..16, the buffer used last
  bool deviceOpen = false;
  AudioFormat format;
  bool started = false;
  // Looping sound (the tone generator).
  std::vector<uint8_t> loopData;
  size_t loopPosition = 0;
  bool looping = false;
  // The background stream: live while it is the owner's, reading until its
  // reader says it has no more.
  WaveStream stream;
  bool streamLive = false;
  bool streamReading = false;
  size_t streamQueued = 0;
  int soundClaims = 0;   // ordinary sound is being queued: the stream keeps off
};

Player player;
WaveSettings settings;

constexpr int kLoopBuffers = 3;
// Half the ring: about 0.4 s of CD sound queued ahead, room left for speech.
constexpr int kStreamBuffers = 8;

void sleepMillis(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

int& countOf(Use use) {
  if (use == Use::loop) return player.loopInFlight;
  if (use == Use::stream) return player.streamInFlight;
  return player.inFlight;
}

void waveDone(int tag) {
  if (tag < 1 || tag > kWaveBuffers) return;
  size_t index = size_t(tag - 1);
  int& count = countOf(player.uses[index]);
  count = std::max(0, count - 1);
  player.streamQueued -= std::min(player.streamQueued, player.streamBytes[index]);
  player.streamBytes[index] = 0;
}

int buffersInUse() { return player.inFlight + player.loopInFlight + player.streamInFlight; }

// Copies a piece into the next ring buffer and hands it to the device.
void sendBuffer(const uint8_t* data, size_t n, Use use) {
  player.lastBuffer = player.lastBuffer % kWaveBuffers + 1;
  size_t index = size_t(player.lastBuffer - 1);
  uint8_t* buffer = player.buffers[index].data();
  bool eightBitMono = player.format.bits == 8 && player.format.channels == 1;
  uint8_t silence = player.format.bits == 8 ? 128 : 0;
  if (n < 256) std::fill(buffer + n, buffer + 256, silence);
  std::copy_n(data, n, buffer);
  // End a short 8-bit sound on the middle line, so that it stops without a click.
  if (eightBitMono && n != kWaveBufferBytes) buffer[n - 1] = 128;
  player.uses[index] = use;
  player.streamBytes[index] = use == Use::stream ? n : 0;
  if (use == Use::stream) player.streamQueued += n;
  countOf(use) += 1;
  audioWrite(buffer, std::max<size_t>(n, 256), player.lastBuffer);
}

void refillLoop() {
  while (player.looping && player.loopInFlight < kLoopBuffers && buffersInUse() < kWaveBuffers) {
    size_t left = player.loopData.size() - player.loopPosition;
    size_t n = std::min(left, kWaveBufferBytes);
    sendBuffer(player.loopData.data() + player.loopPosition, n, Use::loop);
    player.loopPosition = (player.loopPosition + n) % player.loopData.size();
  }
}

// The stream's queued bytes will never be heard: its owner is told so.
void dropStreamBuffers() {
  if (!player.streamLive || player.streamQueued == 0) return;
  size_t bytes = player.streamQueued;
  player.streamQueued = 0;
  player.streamBytes.fill(0);
  player.streamReading = true;
  if (player.stream.dropped) player.stream.dropped(player.stream.owner, bytes);
}

// The stream stops being pulled; its owner hears of it unless it asked.
void endStream(bool tellOwner) {
  if (!player.streamLive) return;
  WaveStream gone = player.stream;
  player.streamLive = player.streamReading = false;
  player.stream = WaveStream{};
  if (tellOwner && gone.ended) gone.ended(gone.owner);
}

// The device in the stream's format; it is reopened only when nothing else
// is queued on it.
bool streamDeviceReady() {
  AudioFormat wanted{player.stream.rate, player.stream.bits, player.stream.channels};
  if (player.deviceOpen && player.format == wanted) return true;
  if (buffersInUse() > 0) return false;
  if (player.deviceOpen) audioClose();
  player.deviceOpen = false;
  if (audioOpen(wanted, settings.outputDevice) != 0) {
    endStream(true);
    return false;
  }
  player.format = wanted;
  player.deviceOpen = true;
  return true;
}

void refillStream() {
  if (!player.streamLive) return;
  if (player.streamReading && player.inFlight == 0 && player.loopInFlight == 0 &&
      player.soundClaims == 0 && streamDeviceReady()) {
    size_t frame = size_t(std::max(1, player.format.bytesPerFrame()));
    size_t capacity = kWaveBufferBytes - kWaveBufferBytes % frame;
    while (player.streamReading && player.streamInFlight < kStreamBuffers &&
           buffersInUse() < kWaveBuffers) {
      size_t n = player.stream.read(player.stream.owner, player.readBuffer.data(), capacity);
      if (n == 0) player.streamReading = false;
      else sendBuffer(player.readBuffer.data(), std::min(n, capacity), Use::stream);
    }
  }
  if (player.streamLive && !player.streamReading && player.streamInFlight == 0) endStream(true);
}

void pumpWave() {
  audioPoll(waveDone);
  refillLoop();
  refillStream();
}

// Held while ordinary sound takes the device and is queued, so that the
// stream does not reopen it in its own format in between.
struct SoundClaim {
  SoundClaim() { ++player.soundClaims; }
  ~SoundClaim() { --player.soundClaims; }
  SoundClaim(const SoundClaim&) = delete;
  SoundClaim& operator=(const SoundClaim&) = delete;
};

void pumpAll() {
  pumpWave();
  pumpMessages();
}

bool keyStops() { return settings.keyInterrupt && keyPending(); }

void start() {
  if (player.started) return;
  player.started = true;
  setPumpHook(PumpHook::wave, pumpWave);
  std::string name = readSetting("TRADUTOR", "SAIDADEAUDIO");
  int device = -1;
  if (settings.outputDevice < 0 && !name.empty() && findOutputDevice(name, device))
    settings.outputDevice = device;
}

// Waits (at most two seconds) for a free buffer.
bool waitForRoom() {
  for (int i = 0; i < 40 && buffersInUse() >= kWaveBuffers; ++i) {
    pumpAll();
    if (buffersInUse() >= kWaveBuffers) sleepMillis(50);
  }
  return buffersInUse() < kWaveBuffers;
}

bool queueBuffer(const uint8_t* data, size_t n) {
  if (n == 0) return true;
  if (!waitForRoom()) return false;
  sendBuffer(data, n, Use::sound);
  return true;
}

// Opens the device for a format, first letting a sound of another format end.
int setFormat(int rate, int bits, int channels) {
  AudioFormat wanted{rate, bits, channels};
  if (player.deviceOpen && !(wanted == player.format)) {
    waitWhilePlaying();
    stopPlaying();
    audioClose();
    player.deviceOpen = false;
    audioPoll(waveDone);   // not pumpWave: the stream must not take the device back
  }
  if (player.deviceOpen) return 0;
  int result = audioOpen(wanted, settings.outputDevice);
  if (result != 0) return result;
  player.format = wanted;
  player.deviceOpen = true;
  return 0;
}

// The piece scaled by the gain, clipped at full scale.
const uint8_t* scaled(const uint8_t* piece, size_t n, int bits) {
  uint8_t* out = player.gainBuffer.data();
  if (bits == 8) {
    for (size_t i = 0; i < n; ++i)
      out[i] = uint8_t(std::clamp(std::lround((piece[i] - 128) * settings.gain) + 128, 0L, 255L));
    return out;
  }
  for (size_t i = 0; i + 1 < n; i += 2) {
    long s = int16_t(uint16_t(piece[i]) | uint16_t(piece[i + 1]) << 8);
    auto v = uint16_t(int16_t(std::clamp(std::lround(double(s) * settings.gain), -32768L, 32767L)));
    out[i] = uint8_t(v & 0xFF);
    out[i + 1] = uint8_t(v >> 8);
  }
  return out;
}

// Queues one piece, shortened first when cut playback applies.
bool queuePiece(const uint8_t* piece, size_t n, int rate, int channels, int bits) {
  if (!settings.cutPlayback || channels != 1) return queueBuffer(piece, n);
  std::copy_n(piece, n, player.cutBuffer.begin());
  size_t samples = compressSpeech(player.cutBuffer.data(), n, bits, rate);
  return queueBuffer(player.cutBuffer.data(), samples);
}

std::string rapidoPath(const std::string& path) {
  size_t slash = path.find_last_of('/');
  std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return dir + "rapido/" + name;
}

int queueSamples(const void* data, size_t length, int rate, int channels, int bits, bool voice);

// Hands the data chunk to the player piece by piece. The piece before a
// remainder of 8193..8447 bytes is 7936 bytes, so the last piece is never
// shorter than 256 bytes.
int playFileData(std::FILE* file, uint64_t dataSize, const WaveFormat& f) {
  uint64_t left = dataSize;
  while (left > 0) {
    size_t want = (left >= 8193 && left <= 8447) ? 7936 : size_t(std::min<uint64_t>(left, kWaveBufferBytes));
    size_t got = std::fread(player.readBuffer.data(), 1, want, file);
    if (got == 0) break;
    int result = queueSamples(player.readBuffer.data(), got, int(f.sampleRate), f.channels,
                              f.bitsPerSample, false);
    if (result != 0) return result;
    left -= got;
    if (keyStops()) break;
  }
  return 0;
}

}  // namespace

WaveSettings& waveSettings() { return settings; }

WaveSwitchGuard::WaveSwitchGuard(std::initializer_list<Switch> switches, bool value) {
  for (Switch which : switches) {
    if (count == kMost) break;
    saved[count++] = {which, settings.*which};
    settings.*which = value;
  }
}

WaveSwitchGuard::~WaveSwitchGuard() {
  while (count > 0) {
    --count;
    settings.*(saved[count].which) = saved[count].value;
  }
}

int fastRate(int rate) {
  long long triple = 3LL * rate;
  long long half = triple / 2;
  if (triple % 2 != 0 && half % 2 != 0) ++half;   // a half goes to the even neighbour
  return int(half);
}

void stopLoop() {
  if (!player.looping) return;
  player.looping = false;
  if (player.loopInFlight > 0) {
    audioReset();
    pumpWave();
  }
}

int startStream(const WaveStream& stream) {
  start();
  stopLoop();
  if (player.streamLive && player.stream.owner == stream.owner) {
    // The same owner again: what is queued plays on, and reading goes on.
    player.streamReading = true;
    refillStream();
    return player.streamLive ? 0 : -1;
  }
  if (player.streamLive) {
    if (player.streamInFlight > 0) audioReset();
    dropStreamBuffers();
    endStream(true);
    audioPoll(waveDone);
  }
  if (!stream.read || stream.rate <= 0 || stream.channels <= 0 ||
      (stream.bits != 8 && stream.bits != 16))
    return -1;
  player.stream = stream;
  player.streamLive = player.streamReading = true;
  refillStream();
  if (player.streamLive) return 0;
  return -1;
}

void stopStream(const void* owner) {
  if (!player.streamLive || player.stream.owner != owner) return;
  if (player.streamInFlight > 0) audioReset();
  dropStreamBuffers();
  endStream(false);
  audioPoll(waveDone);
}

bool streamRunning(const void* owner) {
  return player.streamLive && player.stream.owner == owner;
}

size_t streamBytesQueued() { return player.streamQueued; }

namespace {

// An engine's speech (voice) is measured; a file's or an image's sound is
// played at the gain.
int queueSamples(const void* data, size_t length, int rate, int channels, int bits, bool voice) {
  start();
  if (voice) noteVoiceSamples(static_cast<const uint8_t*>(data), length, rate * channels, bits);
  bool gained = !voice && settings.gain != 1.0 && (bits == 8 || bits == 16);
  SoundClaim claim;
  stopLoop();
  if (settings.fastPlayback) rate = fastRate(rate);
  int deviceBits = settings.cutPlayback && bits == 16 && channels == 1 ? 8 : bits;
  int result = setFormat(rate, deviceBits, channels);
  if (result != 0) return result;
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  size_t done = 0;
  while (done < length) {
    while (buffersInUse() >= kWaveBuffers) {
      if (keyStops()) {
        stopPlaying();
        return 0;
      }
      pumpAll();
      if (buffersInUse() >= kWaveBuffers) sleepMillis(10);
    }
    if (keyStops()) {
      stopPlaying();
      break;
    }
    size_t n = std::min(length - done, kWaveBufferBytes);
    queuePiece(gained ? scaled(bytes + done, n, bits) : bytes + done, n, rate, channels, bits);
    done += n;
  }
  return 0;
}

}  // namespace

int playSamples(const void* data, size_t length, int rate, int channels, int bits) {
  return queueSamples(data, length, rate, channels, bits, true);
}

int playWaveImage(const uint8_t* image, size_t size) {
  WaveImage wave;
  if (!parseWaveImage(image, size, wave) || !isPlayablePcm(wave.format)) return -1;
  return queueSamples(wave.data, wave.size, int(wave.format.sampleRate), wave.format.channels,
                      wave.format.bitsPerSample, false);
}

int loopWaveImage(const uint8_t* image, size_t size) {
  start();
  WaveImage wave;
  if (!parseWaveImage(image, size, wave) || !isPlayablePcm(wave.format) || wave.size == 0)
    return -1;
  endStream(true);   // first, so that stopPlaying's pump does not refill it
  stopPlaying();
  int result = setFormat(int(wave.format.sampleRate), wave.format.bitsPerSample,
                         wave.format.channels);
  if (result != 0) return result;
  player.loopData.assign(wave.data, wave.data + wave.size);
  player.loopPosition = 0;
  player.looping = true;
  refillLoop();
  return 0;
}

int playWaveFile(const std::string& path) {
  start();
  if (keyStops()) {
    stopPlaying();
    return 0;
  }
  if (settings.cutPlayback) {
    std::string faster = rapidoPath(path);
    if (access(faster.c_str(), R_OK) == 0) {
      settings.cutPlayback = false;
      int result = playWaveFile(faster);
      settings.cutPlayback = true;
      return result;
    }
  }
  std::FILE* file = openRegularFile(path, "rb");
  if (!file) return -1;
  WaveFormat format;
  uint64_t dataSize = 0;
  int result = -1;
  if (seekWaveData(file, format, dataSize) && isPlayablePcm(format)) {
    SoundClaim claim;
    result = playFileData(file, dataSize, format);
  }
  std::fclose(file);
  if (!settings.noWait) waitWhilePlaying();
  return result;
}

bool isPlaying() {
  start();
  pumpAll();
  if (keyStops()) stopPlaying();
  return player.inFlight != 0;
}

void stopPlaying() {
  if (!player.deviceOpen) return;
  player.looping = false;
  if (buffersInUse() > 0) audioReset();
  dropStreamBuffers();
  pumpAll();
}

void waitWhilePlaying() {
  while (isPlaying()) sleepMillis(5);
}

void closeWavePlayer() {
  endStream(true);
  stopPlaying();
  audioClose();
  pumpWave();
  player.deviceOpen = false;
  player.inFlight = player.loopInFlight = player.streamInFlight = 0;
  player.streamQueued = 0;
  player.streamBytes.fill(0);
}

bool readWaveInfo(const std::string& path, WaveInfo& info) {
  std::FILE* file = openRegularFile(path, "rb");
  if (!file) return false;
  uint64_t dataSize = 0;
  bool found = seekWaveData(file, info.format, dataSize) && info.format.formatTag == 1;
  if (found) {
    info.dataSize = dataSize;
    info.dataOffset = uint64_t(std::ftell(file));
  }
  std::fclose(file);
  return found;
}

std::vector<std::string> listOutputDevices() {
  std::vector<std::string> names = listAudioDevices();
  for (std::string& name : names) {
    size_t first = name.find_first_not_of(' ');
    size_t last = name.find_last_not_of(' ');
    name = first == std::string::npos ? "" : name.substr(first, last - first + 1);
  }
  return names;
}

bool findOutputDevice(std::string_view name, int& device) {
  std::vector<std::string> names = listOutputDevices();
  for (size_t i = 0; i < names.size(); ++i) {
    bool same = names[i].size() == name.size() &&
                std::equal(name.begin(), name.end(), names[i].begin(), [](char a, char b) {
                  return std::tolower(uint8_t(a)) == std::tolower(uint8_t(b));
                });
    if (same) {
      device = int(i);
      return true;
    }
  }
  return false;
}

}  // namespace varlo
