// Cutting a recording at its sections, encoding them and writing the DAISY
// files beside them.
#include "production/daisy_job.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "base/regular_file.h"
#include "platform/process.h"
#include "production/conversion_mp3.h"
#include "sound/wav_buffer.h"
#include "sound/wave_player.h"

namespace varlo {

namespace fs = std::filesystem;

namespace {

constexpr size_t kCopyBlock = 65536;

bool copyFrames(std::FILE* in, std::FILE* out, uint64_t bytes) {
  std::vector<char> block(kCopyBlock);
  while (bytes > 0) {
    size_t want = size_t(std::min<uint64_t>(bytes, kCopyBlock));
    if (std::fread(block.data(), 1, want, in) != want) return false;
    if (std::fwrite(block.data(), 1, want, out) != want) return false;
    bytes -= want;
  }
  return true;
}

// lame, waited for; its exit status 0 and a file made.
bool encodeSection(const DaisyJob& job, const std::string& wav, const std::string& mp3,
                   size_t number) {
  Mp3Tags tags{job.facts.title, job.facts.title, int(number)};
  std::vector<std::string> argv = lameCommand();
  std::vector<std::string> args = lameArguments(job.mp3Options, tags, wav, mp3);
  argv.insert(argv.end(), args.begin(), args.end());
  std::error_code error;
  return runProgram(argv, ProgramMode::background) == 0 && fs::file_size(mp3, error) > 0 && !error;
}

}  // namespace

bool cutWav(const std::string& from, uint64_t first, uint64_t end, const std::string& to) {
  WaveInfo info;
  if (!readWaveInfo(from, info) || info.format.blockAlign == 0) return false;
  uint64_t frames = info.dataSize / info.format.blockAlign;
  end = std::min(end, frames);
  first = std::min(first, end);
  uint64_t bytes = (end - first) * info.format.blockAlign;
  std::FILE* in = openRegularFile(from, "rb");
  if (!in) return false;
  std::FILE* out = createScratchFile(to, "w+b");
  bool ok = out && std::fseek(in, long(info.dataOffset + first * info.format.blockAlign), SEEK_SET) == 0;
  std::vector<char> header(44);
  ok = ok && std::fwrite(header.data(), 1, header.size(), out) == header.size() &&
       copyFrames(in, out, bytes) &&
       finishWavFile(out, int(info.format.sampleRate), info.format.bitsPerSample,
                     info.format.channels, bytes);
  std::fclose(in);
  if (out && std::fclose(out) != 0) ok = false;
  if (!ok) std::remove(to.c_str());
  return ok;
}

DaisyResult makeDaisyBook(const DaisyJob& job, size_t& sectionsDone) {
  sectionsDone = 0;
  std::vector<BookSection> sections = bookSections(job.sink, job.facts.title);
  std::string partial = job.bookDirectory + ".parcial";
  std::error_code error;
  fs::remove_all(partial, error);
  if (!fs::create_directories(partial, error)) return DaisyResult::writeFailed;
  DaisyResult result = DaisyResult::done;
  for (size_t n = 1; n <= sections.size() && result == DaisyResult::done; ++n) {
    const BookSection& s = sections[n - 1];
    if (s.sentences.empty()) continue;
    if (job.progress) job.progress(n, sections.size());
    std::string wav = partial + "/secao.wav";
    if (!cutWav(job.wavPath, s.firstFrame, s.endFrame, wav))
      result = DaisyResult::writeFailed;
    else if (!encodeSection(job, wav, partial + "/" + sectionAudioName(n), n))
      result = DaisyResult::encoderFailed;
    else
      ++sectionsDone;
    std::remove(wav.c_str());
  }
  if (result == DaisyResult::done &&
      !writeDaisyBook(partial, job.facts, sections, job.sink.rate))
    result = DaisyResult::writeFailed;
  if (result == DaisyResult::done) {
    fs::remove_all(job.bookDirectory, error);
    fs::rename(partial, job.bookDirectory, error);
    if (error) result = DaisyResult::writeFailed;
  }
  if (result != DaisyResult::done) fs::remove_all(partial, error);
  return result;
}

}  // namespace varlo
