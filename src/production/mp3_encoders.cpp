// The MP3 encoders of a conversion run: started beside the rendering, looked
// at between two pumps, stopped when they overrun their time, and told in
// the order of the texts.
#include "production/mp3_encoders.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>

#include "base/codepage.h"
#include "base/config.h"
#include "base/regular_file.h"
#include "console/console.h"
#include "platform/file_feed.h"
#include "platform/process.h"
#include "platform/scratch_files.h"
#include "sound/id3_length.h"
#include "sound/sound_file.h"
#include "sound/wav_buffer.h"
#include "sound/wave_player.h"
#include "sound/wave_riff.h"
#include "speech/speech.h"
#include "widgets/file_chooser.h"

namespace varlo {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kMostEncoders = 16;
constexpr int kGraceSeconds = 60;
// A loaded machine still encodes a megabyte of 16-bit WAV within this.
constexpr int kSecondsPerMegabyte = 5;
constexpr size_t kWavHeaderBytes = 44;
constexpr int kLookMs = 10;

enum class Outcome { running, encoded, failed, overran };

struct Encoder {
  Mp3Job job;
  std::string wav, partial, mp3;   // full paths
  int pid = -1;
  FileFeed* feed = nullptr;        // the WAV copied in while it is recorded
  bool recording = false;          // the voice still writes the WAV
  Clock::time_point deadline = Clock::time_point::max();
  Outcome outcome = Outcome::running;
};

struct Encoders {
  std::deque<Encoder> jobs;   // in the order the texts came
  int graceSeconds = kGraceSeconds;
  bool exitHookSet = false;
} encoders;

// lame learns the length of a WAV on a pipe from its header, which the
// voice fills in only at the end: the copy claims all the room there is.
std::string streamingHeader(std::string_view head) {
  auto bytes = reinterpret_cast<const uint8_t*>(head.data());
  bool plain = head.size() == kWavHeaderBytes && sameTag(bytes, "RIFF") &&
               sameTag(bytes + 8, "WAVE") && sameTag(bytes + 12, "fmt ") &&
               readLe32(bytes + 16) == 16 && sameTag(bytes + 36, "data");
  if (!plain) return "";
  std::string header(head);
  for (size_t at : {size_t(4), size_t(40)})
    for (int i = 0; i < 4; ++i) header[at + i] = '\xFF';
  return header;
}

int settingAbove0(std::string_view key) {
  std::string text = readSetting("VARLO", key);
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value > 0 ? value : 0;
}

// lame reads the tag texts through the locale; a UTF-8 one keeps their
// accents. The program itself never consults the locale.
bool launch(Encoder& e, bool fromPipe) {
  // Full paths: the run changes directory between texts, and an encoder may
  // start again from the finished file after that.
  std::vector<std::string> argv = lameCommand();
  std::vector<std::string> arguments =
      lameArguments(e.job.mp3Options, e.job.tags, fromPipe ? "-" : e.wav, e.partial);
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  // The encoder writes into a file made here, never through a link planted
  // at the scratch name.
  std::FILE* partial = createScratchFile(e.partial, "wb");
  if (!partial) return false;
  std::fclose(partial);
  holdScratchFile(e.partial);
  RunningProgram program = startProgram(argv, fromPipe, {"LC_ALL=C.UTF-8"});
  e.pid = program.pid;
  if (e.pid < 0) {
    releaseScratchFile(e.partial);
    return false;
  }
  if (fromPipe) e.feed = startFileFeed(e.wav, program.inputFd, kWavHeaderBytes, streamingHeader);
  return true;
}

void startClock(Encoder& e) {
  std::error_code error;
  auto megabytes = int(fs::file_size(e.wav, error) >> 20);
  e.deadline = Clock::now() + std::chrono::seconds(encoders.graceSeconds +
                                                   kSecondsPerMegabyte * (error ? 0 : megabytes));
}

// The encoder is gone: its scratch MP3 goes with it.
void discard(Encoder& e) {
  if (e.pid > 0 && checkProgram(e.pid) == kStillRunning) killProgram(e.pid);
  if (e.feed) endFileFeed(e.feed);
  e.feed = nullptr;
  std::remove(e.partial.c_str());
  releaseScratchFile(e.partial);
}

// An encoder can end with status 0 having written next to nothing, or stop
// at a size field's limit: what it made must last about as long as the WAV.
bool lastsAsLongAsTheWav(const Encoder& e) {
  WaveInfo wav;
  SoundFile made;
  bool readable = readWaveInfo(e.wav, wav) && wav.format.sampleRate > 0 &&
                  wav.format.blockAlign > 0 &&
                  openSoundFile(e.partial, SoundFileKind::unknown, made) == SoundFileError::none;
  double madeSeconds = readable ? double(made.frames) / made.rate : 0;
  closeSoundFile(made);
  if (!readable) return false;
  double wavSeconds = double(wav.dataSize / wav.format.blockAlign) / wav.format.sampleRate;
  return std::abs(madeSeconds - wavSeconds) <= 1.0 + wavSeconds * 0.005;
}

// The WAV's length in milliseconds (it was read whole by lastsAsLongAsTheWav).
uint64_t wavMilliseconds(const Encoder& e) {
  WaveInfo wav;
  readWaveInfo(e.wav, wav);
  return uint64_t(wav.dataSize / wav.format.blockAlign) * 1000 / wav.format.sampleRate;
}

void finish(Encoder& e, int status) {
  bool whole = status == 0 && lastsAsLongAsTheWav(e);
  // Fed from a pipe, the encoder tags the length it could not know as
  // 4294967295 ms; the WAV knows it now.
  if (whole) setFileTagLength(e.partial, wavMilliseconds(e));
  whole = whole && std::rename(e.partial.c_str(), e.mp3.c_str()) == 0;
  releaseScratchFile(e.partial);
  if (!whole) {
    // A half-written MP3 is worse than none: the WAV stays for another try.
    std::remove(e.partial.c_str());
    e.outcome = Outcome::failed;
    return;
  }
  std::remove(e.wav.c_str());
  e.outcome = Outcome::encoded;
}

// Look at a running encoder once: ended, overran, or fed something else
// than the whole WAV (then it starts again from the finished file).
void settle(Encoder& e) {
  if (e.outcome != Outcome::running || e.recording) return;
  int status = checkProgram(e.pid);
  if (status == kStillRunning) {
    if (Clock::now() < e.deadline) return;
    discard(e);
    e.outcome = Outcome::overran;
    return;
  }
  // An encoder that ended before the feed did cannot have had it all.
  // Past 4 GiB the finished WAV is RF64, its samples moved behind a longer
  // header than the one fed: only the finished file is whole.
  std::error_code error;
  bool fedWhole = !e.feed || endFileFeed(e.feed);
  fedWhole = fedWhole && fs::file_size(e.wav, error) <= kRiffDataLimit + kWavHeaderBytes;
  e.feed = nullptr;
  if (fedWhole) return finish(e, status);
  std::remove(e.partial.c_str());
  releaseScratchFile(e.partial);
  if (launch(e, false)) return startClock(e);
  e.outcome = Outcome::failed;
}

void settleAll() {
  for (Encoder& e : encoders.jobs) settle(e);
}

int runningCount() {
  int running = 0;
  for (const Encoder& e : encoders.jobs) running += e.outcome == Outcome::running;
  return running;
}

// Sound, speech and keys go on flowing while the encoders work.
void waitALittle() { pause(kLookMs); }

// 1 when the text did not become an MP3 (said), else 0.
int tell(const Encoder& e) {
  if (e.outcome == Outcome::encoded) return 0;
  beep();
  beep();
  const char* why = e.outcome == Outcome::overran
                        ? "O codificador MP3 passou do tempo e foi interrompido; o arquivo WAV foi mantido: "
                        : "A conversão para MP3 falhou; o arquivo WAV foi mantido: ";
  writeLineSpeak(utf8ToCp1252(why) + displayName(e.job.names.wavName));
  return 1;
}

bool start(const Mp3Job& job, bool whileRecording) {
  if (!encoders.exitHookSet) {
    std::atexit(stopEncoders);
    encoders.exitHookSet = true;
  }
  std::error_code error;
  fs::path here = job.names.directory.empty() ? fs::current_path(error) : fs::path(job.names.directory);
  Encoder e;
  e.job = job;
  e.wav = here / job.names.wavName;
  e.partial = here / (job.names.mp3Name + ".parcial");
  e.mp3 = here / job.names.finalMp3Name;
  e.recording = whileRecording;
  if (!launch(e, whileRecording)) return false;
  if (!whileRecording) startClock(e);
  encoders.jobs.push_back(std::move(e));
  return true;
}

}  // namespace

int encoderLimit() {
  int configured = settingAbove0("CODIFICADORESMP3");
  return std::min(kMostEncoders, configured > 0 ? configured : coreCount());
}

void setEncoderGraceSeconds(int seconds) { encoders.graceSeconds = seconds; }

bool waitForFreeEncoder() {
  int limit = encoderLimit();
  for (settleAll(); runningCount() >= limit; settleAll()) {
    if (keyPending()) return false;
    waitALittle();
  }
  return true;
}

bool startEncoding(const Mp3Job& job) { return start(job, false); }

bool startEncodingWhileRecording(const Mp3Job& job) { return start(job, true); }

void recordingEnded(bool whole) {
  for (auto e = encoders.jobs.rbegin(); e != encoders.jobs.rend(); ++e) {
    if (!e->recording) continue;
    e->recording = false;
    if (whole) {
      completeFileFeed(e->feed);
      startClock(*e);
      return;
    }
    discard(*e);
    encoders.jobs.erase(std::next(e).base());
    return;
  }
}

int tellEncoderResults(bool waitForAll) {
  int failed = 0;
  for (;;) {
    settleAll();
    std::deque<Encoder>& jobs = encoders.jobs;
    while (!jobs.empty() && jobs.front().outcome != Outcome::running) {
      failed += tell(jobs.front());
      jobs.pop_front();
    }
    if (!waitForAll || jobs.empty()) return failed;
    waitALittle();
  }
}

void stopEncoders() {
  for (Encoder& e : encoders.jobs)
    if (e.outcome == Outcome::running) discard(e);
  encoders.jobs.clear();
}

}  // namespace varlo
