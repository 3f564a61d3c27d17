// espeak-ng in-process. The library runs in its synchronous mode: a file is
// rendered in the caller's thread straight into the WAV file; live speech is
// rendered by one worker thread into a queue of samples that espeakPump hands
// to the wave player, never more than a little ahead of real time, so that a
// stop silences at once and the main thread never blocks on sound.
#include "engines/espeak_driver.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "sound/wav_buffer.h"
#include "console/console.h"
#include "platform/audio_sink.h"
#include "base/codepage.h"
#include "base/regular_file.h"
#include "sound/wave_player.h"

namespace varlo {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSynthBufferMs = 50;
// Live speech handed to the sound layer ahead of the clock: enough for the
// device never to starve between two pumps; a stop drops it at once anyway.
constexpr double kAheadSeconds = 0.5;
constexpr size_t kPieceSamples = kWaveBufferBytes / 2;
// The worker waits when this much speech is rendered and not yet handed over.
constexpr size_t kMaxPendingSeconds = 10;

// A piece of text, or a silence of silenceMs when that is above 0.
struct Job {
  std::string utf8;
  bool markup = false;
  int silenceMs = 0;
};

// Shared with the worker thread; allocated once and never freed, so that
// the worker may outlive static destruction at program exit.
struct Live {
  std::mutex lock;
  std::condition_variable wake;    // jobs arrived, room freed, stop
  std::condition_variable idle;    // the worker finished or aborted a job
  std::deque<Job> jobs;
  std::vector<int16_t> pending;    // rendered, not yet handed over
  bool rendering = false;
  std::atomic<unsigned> generation{0};   // bumped by a stop: abort rendering
  bool workerStarted = false;
};

struct Driver {
  int started = 0;            // 0 not tried, 1 running, -1 failed
  int sampleRate = 22050;
  std::vector<const espeak_VOICE*> voices;   // Brazilian Portuguese first
  bool open = false;
  std::FILE* file = nullptr;
  uint64_t fileBytes = 0;
  bool fileFailed = false;
  Live* live = nullptr;
  // Pacing of live speech: samples handed since playStart.
  uint64_t handed = 0;
  Clock::time_point playStart;
  bool inPump = false;
};

Driver d;
thread_local unsigned jobGeneration = 0;

bool speaksBrazilian(const espeak_VOICE* voice) {
  for (const char* p = voice->languages; p && *p; p += std::strlen(p + 1) + 2) {
    if (strcasecmp(p + 1, "pt-br") == 0) return true;
  }
  return false;
}

void orderVoices() {
  const espeak_VOICE** all = espeak_ListVoices(nullptr);
  std::vector<const espeak_VOICE*> brazilian, others;
  for (; all && *all; ++all) {
    const espeak_VOICE* v = *all;
    // MBROLA voices need databases this platform does not have.
    if (v->identifier && std::strncmp(v->identifier, "mb/", 3) == 0) continue;
    (speaksBrazilian(v) ? brazilian : others).push_back(v);
  }
  d.voices = brazilian;
  d.voices.insert(d.voices.end(), others.begin(), others.end());
}

// Every rendered buffer, from whichever thread renders. Returns 1 when the
// job was stopped meanwhile, which makes espeak-ng abort it.
int deliver(const int16_t* wav, size_t count) {
  if (d.file) {
    size_t bytes = count * 2;
    if (std::fwrite(wav, 1, bytes, d.file) != bytes) d.fileFailed = true;
    d.fileBytes += bytes;
    return 0;
  }
  Live& live = *d.live;
  std::unique_lock<std::mutex> hold(live.lock);
  const size_t limit = kMaxPendingSeconds * size_t(d.sampleRate);
  live.wake.wait(hold, [&] {
    return live.generation != jobGeneration || live.pending.size() < limit;
  });
  if (live.generation != jobGeneration) return 1;
  live.pending.insert(live.pending.end(), wav, wav + count);
  return 0;
}

int onSamples(short* wav, int count, espeak_EVENT*) {
  return wav && count > 0 ? deliver(wav, size_t(count)) : 0;
}

// espeak-ng ignores a break with no text after it, so silences are made here.
void renderSilence(int ms) {
  const std::vector<int16_t> zeros(d.sampleRate / 20, 0);
  size_t left = size_t(ms) * size_t(d.sampleRate) / 1000;
  while (left > 0) {
    size_t n = std::min(left, zeros.size());
    if (deliver(zeros.data(), n)) return;
    left -= n;
  }
}

bool startLibrary() {
  if (d.started == 0) {
    int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, kSynthBufferMs,
                                 nullptr, espeakINITIALIZE_DONT_EXIT);
    d.started = rate > 0 ? 1 : -1;
    if (rate > 0) {
      d.sampleRate = rate;
      espeak_SetSynthCallback(onSamples);
      orderVoices();
    }
  }
  return d.started == 1;
}

void render(const Job& job) {
  if (job.silenceMs > 0) {
    renderSilence(job.silenceMs);
    return;
  }
  unsigned flags = espeakCHARS_UTF8 | (job.markup ? espeakSSML : 0);
  espeak_Synth(job.utf8.c_str(), job.utf8.size() + 1, 0, POS_CHARACTER, 0,
               flags, nullptr, nullptr);
}

void workerLoop(Live* live) {
  std::unique_lock<std::mutex> hold(live->lock);
  for (;;) {
    live->wake.wait(hold, [&] { return !live->jobs.empty(); });
    Job job = std::move(live->jobs.front());
    live->jobs.pop_front();
    live->rendering = true;
    jobGeneration = live->generation;
    hold.unlock();
    render(job);
    hold.lock();
    live->rendering = false;
    live->idle.notify_all();
  }
}

void startWorker() {
  if (!d.live) d.live = new Live;
  if (d.live->workerStarted) return;
  std::thread(workerLoop, d.live).detach();
  d.live->workerStarted = true;
}

bool openFile(std::string_view path) {
  d.file = createOutputFile(std::string(path), "w+b");
  if (!d.file) return false;
  auto header = buildWavHeader(d.sampleRate, 16, 0, 1);
  d.fileBytes = 0;
  d.fileFailed = std::fwrite(header.data(), 1, header.size(), d.file) != header.size();
  return !d.fileFailed;
}

// The final sizes go into the header only now: until then the file reads as
// holding no samples.
void closeFile() {
  bool written = finishWavFile(d.file, d.sampleRate, 16, 1, d.fileBytes);
  if (std::fclose(d.file) != 0 || !written) d.fileFailed = true;
  d.file = nullptr;
}

uint64_t samplesDueByClock() {
  if (d.handed == 0) return 0;
  double seconds = std::chrono::duration<double>(Clock::now() - d.playStart).count();
  return uint64_t(seconds * d.sampleRate);
}

bool liveQueueBusy() {
  if (!d.live) return false;
  std::lock_guard<std::mutex> hold(d.live->lock);
  return !d.live->jobs.empty() || d.live->rendering || !d.live->pending.empty();
}

// Hands one piece to the wave player as plain 16-bit speech: the recorded
// voice's speed-up switches do not apply to an engine.
void handPiece(const int16_t* samples, size_t count) {
  WaveSwitchGuard plain({&WaveSettings::fastPlayback, &WaveSettings::cutPlayback}, false);
  playSamples(samples, count * 2, d.sampleRate, 1, 16);
}

void feedSoundLayer() {
  // Without a device sound is consumed at once, and so is speech.
  const bool paced = audioSinkKind() != AudioSinkKind::null;
  const uint64_t ahead = paced ? uint64_t(kAheadSeconds * d.sampleRate) : UINT64_MAX / 2;
  // Everything handed has been heard: the next piece starts a new clock.
  if (d.handed > 0 && samplesDueByClock() >= d.handed) d.handed = 0;
  std::vector<int16_t> piece;
  for (;;) {
    if (d.handed > 0 && d.handed >= samplesDueByClock() + ahead) return;
    {
      std::lock_guard<std::mutex> hold(d.live->lock);
      size_t n = std::min(kPieceSamples, d.live->pending.size());
      if (n == 0) return;
      piece.assign(d.live->pending.begin(), d.live->pending.begin() + n);
      d.live->pending.erase(d.live->pending.begin(), d.live->pending.begin() + n);
      d.live->wake.notify_all();
    }
    if (d.handed == 0) d.playStart = Clock::now();
    d.handed += paced ? piece.size() : 0;
    handPiece(piece.data(), piece.size());
  }
}

}  // namespace

int espeakWordsPerMinute(int rate) {
  if (rate < -10 || rate > 10) return espeakRATE_NORMAL;
  if (rate < 0) return espeakRATE_NORMAL + rate * (espeakRATE_NORMAL - espeakRATE_MINIMUM) / 10;
  return espeakRATE_NORMAL + rate * (espeakRATE_MAXIMUM - espeakRATE_NORMAL) / 10;
}

bool espeakOpen(int voiceNumber, int speed, std::string_view outputFile) {
  if (d.open) espeakClose();
  if (!startLibrary() || d.voices.empty()) return false;
  if (voiceNumber < 1 || voiceNumber > int(d.voices.size())) {
    voiceNumber = 1;
    speed = 0;
  }
  const espeak_VOICE* voice = d.voices[voiceNumber - 1];
  if (espeak_SetVoiceByName(voice->name) != EE_OK &&
      espeak_SetVoiceByName(voice->identifier) != EE_OK) {
    return false;
  }
  espeak_SetParameter(espeakRATE, espeakWordsPerMinute(speed), 0);
  d.fileFailed = false;
  if (!outputFile.empty()) {
    if (!openFile(outputFile)) {
      if (d.file) std::fclose(d.file);
      d.file = nullptr;
      return false;
    }
  } else {
    startWorker();
  }
  d.handed = 0;
  d.open = true;
  return true;
}

void espeakClose() {
  if (!d.open) return;
  while (espeakIsSpeaking()) {
    pumpMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (d.file) closeFile();
  d.open = false;
}

std::vector<SpeechPiece> splitSilences(std::string_view text) {
  static constexpr std::string_view open = "<silence msec=\"";
  std::vector<SpeechPiece> pieces;
  auto addText = [&](std::string_view part) {
    if (part.find_first_not_of(" \t\r\n") != std::string_view::npos)
      pieces.push_back({std::string(part), 0});
  };
  size_t from = 0, at;
  while ((at = text.find(open, from)) != std::string_view::npos) {
    size_t digits = at + open.size();
    size_t end = text.find("\"/>", digits);
    std::string_view ms = text.substr(digits, end == std::string_view::npos ? 0 : end - digits);
    if (ms.empty() || ms.size() > 7 ||
        ms.find_first_not_of("0123456789") != std::string_view::npos) {
      addText(text.substr(from, digits - from));
      from = digits;
      continue;
    }
    addText(text.substr(from, at - from));
    pieces.push_back({"", std::stoi(std::string(ms))});
    from = end + 3;
  }
  addText(text.substr(from));
  return pieces;
}

void espeakSpeak(std::string_view text, bool markup) {
  if (!d.open) return;
  std::vector<Job> jobs;
  std::string utf8 = cp1252ToUtf8(text.empty() ? std::string_view(" ") : text);
  if (!markup) {
    jobs.push_back({utf8});
  } else {
    for (SpeechPiece& piece : splitSilences(utf8)) {
      jobs.push_back({"<speak>" + piece.text + "</speak>", true, piece.silenceMs});
    }
  }
  if (d.file) {
    for (const Job& job : jobs) render(job);
    return;
  }
  std::lock_guard<std::mutex> hold(d.live->lock);
  for (Job& job : jobs) d.live->jobs.push_back(std::move(job));
  d.live->wake.notify_all();
}

bool espeakIsSpeaking() {
  if (!d.open || d.file) return false;
  return liveQueueBusy() || (d.handed > 0 && samplesDueByClock() < d.handed);
}

void espeakStop() {
  if (!d.open || d.file || !d.live) return;
  Live& live = *d.live;
  std::unique_lock<std::mutex> hold(live.lock);
  live.jobs.clear();
  live.pending.clear();
  ++live.generation;
  live.wake.notify_all();
  live.idle.wait(hold, [&] { return !live.rendering; });
  hold.unlock();
  if (d.handed > 0) stopPlaying();
  d.handed = 0;
}

void espeakPump() {
  if (!d.open || d.file || d.inPump) return;
  d.inPump = true;
  if (keyPending()) {
    if (espeakIsSpeaking()) espeakStop();
  } else {
    feedSoundLayer();
  }
  d.inPump = false;
}

bool espeakWriteFailed() { return d.fileFailed; }
uint64_t espeakOutputBytes() { return d.fileBytes; }

int espeakVoiceTotal() {
  return startLibrary() ? int(d.voices.size()) : 0;
}

std::string espeakVoiceName(int voiceNumber) {
  if (!startLibrary() || voiceNumber < 1 || voiceNumber > int(d.voices.size())) return "";
  return utf8ToCp1252(d.voices[voiceNumber - 1]->name);
}

// The first of the voice's languages: a priority byte, then the name.
std::string espeakVoiceLanguage(int voiceNumber) {
  if (!startLibrary() || voiceNumber < 1 || voiceNumber > int(d.voices.size())) return "";
  const char* languages = d.voices[voiceNumber - 1]->languages;
  return languages && *languages ? std::string(languages + 1) : std::string();
}

}  // namespace varlo
