// The MCI interpreter: command strings split into words, devices kept by
// alias, each device a sound file played as the wave player's stream.
#include "sound/mci.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "base/codepage.h"
#include "console/console.h"
#include "sound/mci_words.h"
#include "sound/sound_file.h"
#include "sound/wave_player.h"

namespace varlo {

namespace {

enum class Mode { stopped, playing, paused };

struct MciDevice {
  std::string alias;          // compared without regard to case
  SoundFile sound;
  Mode mode = Mode::stopped;
  uint64_t endFrame = 0;      // where the running play stops
  bool autoOpened = false;    // opened by "play file": closed at its end
  bool finished = false;      // an auto-opened device whose play ended
};

// Open devices; a script has no reason to hold more.
constexpr size_t kMostDevices = 32;
std::vector<std::unique_ptr<MciDevice>> devices;
int commandDepth = 0;   // a command is running: devices stay where they are

MciDevice* findDevice(std::string_view alias) {
  std::string wanted = mciLower(alias);
  for (auto& device : devices)
    if (mciLower(device->alias) == wanted) return device.get();
  return nullptr;
}

void closeDevice(MciDevice* device) {
  stopStream(device);
  closeSoundFile(device->sound);
  std::erase_if(devices, [device](const auto& held) { return held.get() == device; });
}

// Auto-opened devices whose sound ended are closed at the next pump or
// command, never from inside the player's own call.
void closeFinished() {
  std::vector<MciDevice*> done;
  for (auto& device : devices)
    if (device->finished) done.push_back(device.get());
  for (MciDevice* device : done) closeDevice(device);
}

void pumpMedia() {
  if (commandDepth == 0) closeFinished();
}

int frameBytes(const MciDevice& device) { return std::max(1, soundFrameBytes(device.sound)); }

uint64_t millisToFrames(const MciDevice& device, uint64_t ms) {
  return ms * uint64_t(device.sound.rate) / 1000;
}

uint64_t framesToMillis(const MciDevice& device, uint64_t frames) {
  return device.sound.rate > 0 ? frames * 1000 / uint64_t(device.sound.rate) : 0;
}

Mode currentMode(MciDevice& device) {
  if (device.mode == Mode::playing && !streamRunning(&device)) device.mode = Mode::stopped;
  return device.mode;
}

// The frame being heard: what was read minus what still waits at the device.
uint64_t heardFrame(MciDevice& device) {
  uint64_t position = device.sound.position;
  if (currentMode(device) != Mode::playing) return position;
  uint64_t queued = streamBytesQueued() / uint64_t(frameBytes(device));
  return position - std::min(position, queued);
}

size_t readDevice(void* owner, uint8_t* buffer, size_t capacity) {
  auto& device = *static_cast<MciDevice*>(owner);
  uint64_t left = device.endFrame - std::min(device.endFrame, device.sound.position);
  size_t room = size_t(std::min<uint64_t>(capacity / size_t(frameBytes(device)), left));
  return readSoundFile(device.sound, buffer, room * size_t(frameBytes(device)));
}

void droppedFromDevice(void* owner, size_t bytes) {
  auto& device = *static_cast<MciDevice*>(owner);
  uint64_t frames = bytes / size_t(frameBytes(device));
  seekSoundFile(device.sound, device.sound.position - std::min(device.sound.position, frames));
}

void deviceEnded(void* owner) {
  auto& device = *static_cast<MciDevice*>(owner);
  device.mode = Mode::stopped;
  if (device.autoOpened) device.finished = true;
}

int startDevice(MciDevice& device) {
  WaveStream stream;
  stream.rate = device.sound.rate;
  stream.bits = device.sound.bits;
  stream.channels = device.sound.channels;
  stream.owner = &device;
  stream.read = readDevice;
  stream.dropped = droppedFromDevice;
  stream.ended = deviceEnded;
  device.mode = Mode::playing;
  int result = startStream(stream);
  if (result != 0) device.mode = Mode::stopped;
  return result;
}

void stopDevice(MciDevice& device, Mode mode) {
  stopStream(&device);
  device.mode = mode;
}

// File names come in Windows-1252 and may use "\\" between directories.
std::string diskPath(const std::string& name) {
  std::string path = cp1252ToUtf8(name);
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

MciReply openFailure(SoundFileError failure, const std::string& path) {
  if (failure == SoundFileError::notFound)
    return mciError(275, "arquivo não encontrado", path);
  return mciError(296, "o arquivo não pode ser tocado: não é WAV nem MP3, ou está corrompido", path);
}

bool typeKind(const std::string& type, SoundFileKind& kind) {
  std::string name = mciLower(type);
  if (name == "waveaudio") kind = SoundFileKind::wave;
  else if (name == "mpegvideo" || name == "mpegaudio") kind = SoundFileKind::mp3;
  else return false;
  return true;
}

// Opens a file as a device; the reply on failure.
MciReply openDevice(const std::string& path, const std::string& alias, SoundFileKind kind,
                    bool autoOpened, MciDevice*& opened) {
  if (findDevice(alias)) return mciError(289, "o apelido já está em uso", alias);
  if (devices.size() >= kMostDevices) return mciError(287, "há dispositivos demais abertos");
  auto device = std::make_unique<MciDevice>();
  SoundFileError failure = openSoundFile(diskPath(path), kind, device->sound);
  if (failure != SoundFileError::none) return openFailure(failure, path);
  device->alias = alias;
  device->autoOpened = autoOpened;
  device->endFrame = device->sound.frames;
  opened = device.get();
  devices.push_back(std::move(device));
  return {};
}

MciReply commandOpen(const std::vector<std::string>& words) {
  Options options;
  std::string bad;
  if (!readOptions(words, 2, options, bad)) return mciError(257, "falta o valor de", bad);
  if (auto* stray = strayFlag(options, {"shareable"})) return mciError(257, "parâmetro não reconhecido", *stray);
  SoundFileKind kind = SoundFileKind::unknown;
  if (const std::string* type = valueOf(options, "type"); type && !typeKind(*type, kind))
    return mciError(266, "tipo de dispositivo não suportado (só waveaudio e mpegvideo)", *type);
  if (auto* stray = strayValue(options, {"type", "alias"}))
    return mciError(257, "parâmetro não reconhecido", *stray);
  const std::string* alias = valueOf(options, "alias");
  MciDevice* device = nullptr;
  return openDevice(words[1], alias ? *alias : words[1], kind, false, device);
}

// Blocks until the play ends; a key press stops it (the key stays queued).
void waitForDevice(MciDevice& device) {
  while (currentMode(device) == Mode::playing) {
    if (keyPending()) {
      stopDevice(device, Mode::stopped);
      break;
    }
    pumpMessages();
    pause(10);
  }
}

MciReply commandPlay(MciDevice& device, const Options& options) {
  if (auto* stray = strayFlag(options, {})) return mciError(257, "parâmetro não reconhecido", *stray);
  if (auto* stray = strayValue(options, {"from", "to"}))
    return mciError(257, "parâmetro não reconhecido", *stray);
  uint64_t from = 0;
  uint64_t to = 0;
  const std::string* fromText = valueOf(options, "from");
  const std::string* toText = valueOf(options, "to");
  if ((fromText && !readMillis(*fromText, from)) || (toText && !readMillis(*toText, to)))
    return mciError(270, "esperava um número inteiro de milissegundos");
  uint64_t length = framesToMillis(device, device.sound.frames);
  if ((fromText && from > length) || (toText && (to > length || (fromText && to < from))))
    return mciError(282, "valor fora dos limites do arquivo");
  stopStream(&device);
  uint64_t start = fromText ? millisToFrames(device, from) : device.sound.position;
  device.endFrame = toText ? millisToFrames(device, to) : device.sound.frames;
  // A play from the end starts over.
  if (!fromText && start >= device.endFrame) start = 0;
  if (start > device.endFrame) device.endFrame = device.sound.frames;
  seekSoundFile(device.sound, start);
  if (start >= device.endFrame) {
    // Nothing to play (an empty file, or from and to the same time).
    device.mode = Mode::stopped;
    device.finished = device.autoOpened;
    return {};
  }
  if (startDevice(device) != 0) return mciError(261, "o dispositivo de som não pôde tocar o arquivo");
  if (hasFlag(options, "wait")) waitForDevice(device);
  return {};
}

MciReply commandSeek(MciDevice& device, const Options& options) {
  const std::string* to = valueOf(options, "to");
  uint64_t frame = 0;
  if (auto* stray = strayFlag(options, {})) return mciError(257, "parâmetro não reconhecido", *stray);
  if (auto* stray = strayValue(options, {"to"}))
    return mciError(257, "parâmetro não reconhecido", *stray);
  if (!to) return mciError(417, "esperava to e a posição");
  uint64_t ms = 0;
  std::string place = mciLower(*to);
  if (place == "start") frame = 0;
  else if (place == "end") frame = device.sound.frames;
  else if (!readMillis(*to, ms)) return mciError(270, "esperava um número inteiro de milissegundos");
  else if (ms > framesToMillis(device, device.sound.frames))
    return mciError(282, "valor fora dos limites do arquivo");
  else frame = millisToFrames(device, ms);
  stopDevice(device, Mode::stopped);
  seekSoundFile(device.sound, frame);
  return {};
}

// The words after the device name, lower case and without wait or notify.
std::vector<std::string> plainWords(const std::vector<std::string>& words) {
  std::vector<std::string> plain;
  for (size_t i = 2; i < words.size(); ++i) {
    std::string word = mciLower(words[i]);
    if (word != "wait" && word != "notify") plain.push_back(word);
  }
  return plain;
}

bool isTimeFormat(const std::vector<std::string>& plain, size_t at) {
  return plain.size() >= at + 2 && plain[at] == "time" && plain[at + 1] == "format";
}

// Times are milliseconds, the only format there is.
MciReply commandSet(const std::vector<std::string>& words) {
  std::vector<std::string> plain = plainWords(words);
  bool millis = isTimeFormat(plain, 0) && plain.size() == 3 &&
                (plain[2] == "milliseconds" || plain[2] == "ms");
  if (!millis) return mciError(257, "só é aceito set ... time format milliseconds");
  return {};
}

MciReply commandStatus(MciDevice& device, const std::vector<std::string>& words) {
  std::vector<std::string> plain = plainWords(words);
  if (plain.empty()) return mciError(417, "esperava o item de status");
  if (isTimeFormat(plain, 0) && plain.size() == 2) return {0, "milliseconds"};
  const std::string& item = plain[0];
  if (plain.size() > 1) return mciError(257, "parâmetro não reconhecido", plain[1]);
  if (item == "mode") {
    Mode mode = currentMode(device);
    return {0, mode == Mode::playing ? "playing" : mode == Mode::paused ? "paused" : "stopped"};
  }
  if (item == "length") return {0, std::to_string(framesToMillis(device, device.sound.frames))};
  if (item == "position") return {0, std::to_string(framesToMillis(device, heardFrame(device)))};
  if (item == "ready") return {0, "true"};
  return mciError(257, "item de status não reconhecido (mode, length, position)", item);
}

MciReply commandOnDevice(const std::string& verb, MciDevice& device,
                         const std::vector<std::string>& words) {
  if (verb == "status") return commandStatus(device, words);
  if (verb == "set") return commandSet(words);
  Options options;
  std::string bad;
  if (!readOptions(words, 2, options, bad)) return mciError(257, "falta o valor de", bad);
  if (verb == "play") return commandPlay(device, options);
  if (verb == "seek") return commandSeek(device, options);
  if (auto* stray = strayFlag(options, {})) return mciError(257, "parâmetro não reconhecido", *stray);
  if (!options.values.empty()) return mciError(257, "parâmetro não reconhecido", options.values[0].first);
  if (verb == "pause") {
    if (currentMode(device) == Mode::playing) stopDevice(device, Mode::paused);
  } else if (verb == "resume") {
    if (currentMode(device) == Mode::paused && startDevice(device) != 0)
      return mciError(261, "o dispositivo de som não pôde tocar o arquivo");
  } else if (verb == "stop") {
    stopDevice(device, Mode::stopped);
  } else {
    closeDevice(&device);
  }
  return {};
}

bool knownVerb(const std::string& verb) {
  for (const char* v : {"play", "pause", "resume", "stop", "close", "seek", "status", "set"})
    if (verb == v) return true;
  return false;
}

// "close all" and "stop all".
MciReply commandAll(const std::string& verb) {
  if (verb == "close") {
    mciCloseAll();
  } else {
    for (auto& device : devices) stopDevice(*device, Mode::stopped);
  }
  return {};
}

// "play file" opens the file under its own name, and the device closes
// itself when the sound ends.
MciReply autoOpen(const std::string& name, MciDevice*& device) {
  return openDevice(name, name, SoundFileKind::unknown, true, device);
}

MciReply runCommand(std::string_view command) {
  std::vector<std::string> words;
  if (!splitWords(command, words)) return mciError(294, "falta fechar as aspas");
  if (words.empty()) return mciError(259, "comando vazio");
  std::string verb = mciLower(words[0]);
  if (verb != "open" && !knownVerb(verb)) return mciError(259, "comando não reconhecido", words[0]);
  if (words.size() < 2) return mciError(417, "esperava o nome do dispositivo");
  if (verb == "open") return commandOpen(words);
  if ((verb == "close" || verb == "stop") && mciLower(words[1]) == "all" && words.size() == 2)
    return commandAll(verb);
  MciDevice* device = findDevice(words[1]);
  if (!device && verb == "play") {
    MciReply opened = autoOpen(words[1], device);
    if (opened.error != 0) return opened;
  }
  if (!device) return mciError(263, "o dispositivo não está aberto", words[1]);
  bool autoOpened = device->autoOpened && verb == "play";
  MciReply reply = commandOnDevice(verb, *device, words);
  if (reply.error != 0 && autoOpened) closeDevice(device);
  return reply;
}

}  // namespace

MciReply mciSendString(std::string_view command) {
  static bool hooked = false;
  if (!hooked) {
    setPumpHook(PumpHook::media, pumpMedia);
    hooked = true;
  }
  closeFinished();
  ++commandDepth;
  MciReply reply = runCommand(command);
  --commandDepth;
  return reply;
}

void mciCloseAll() {
  while (!devices.empty()) closeDevice(devices.back().get());
}

}  // namespace varlo
