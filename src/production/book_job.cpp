// Cutting a recording at its sections, encoding them and writing the book's
// files beside them.
#include "production/book_job.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "base/regular_file.h"
#include "console/console.h"
#include "platform/process.h"
#include "production/conversion_mp3.h"
#include "production/daisy_book.h"
#include "production/epub_book.h"
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

// One section's encoder while it runs.
struct SectionEncoder {
  int pid = -1;
  std::string wav, mp3;
};

// Starts lame on a section; false when it could not be started.
bool startSection(const BookJob& job, SectionEncoder& e, size_t number) {
  Mp3Tags tags{job.facts.title, job.facts.title, int(number)};
  std::vector<std::string> argv = lameCommand();
  std::vector<std::string> args = lameArguments(job.mp3Options, tags, e.wav, e.mp3);
  argv.insert(argv.end(), args.begin(), args.end());
  e.pid = startProgram(argv, false, {"LC_ALL=C.UTF-8"}).pid;
  return e.pid >= 0;
}

// Waits for the first encoder to end: true when it made its MP3. Its WAV
// goes either way.
bool finishSection(std::vector<SectionEncoder>& running) {
  SectionEncoder e = running.front();
  running.erase(running.begin());
  int status;
  while ((status = checkProgram(e.pid)) == kStillRunning) pumpMessages(), usleep(20000);
  std::remove(e.wav.c_str());
  std::error_code error;
  return status == 0 && fs::file_size(e.mp3, error) > 0 && !error;
}

// Writes the book's files into the scratch directory that holds its audio;
// an EPUB is then packed into a scratch archive beside it.
bool writeBook(const BookJob& job, const std::vector<BookSection>& sections,
               const std::string& partial) {
  if (job.format == BookFormat::daisy)
    return writeDaisyBook(partial, job.facts, sections, job.sink.rate);
  return writeEpubFiles(partial, job.facts, sections, job.sink.rate, epubModified()) &&
         packEpub(partial, job.bookPath + ".novo");
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

BookResult makeBook(const BookJob& job, size_t& sectionsDone) {
  sectionsDone = 0;
  std::vector<BookSection> sections = bookSections(job.sink, job.facts.title);
  std::string partial = job.bookPath + ".parcial";
  std::string audio = job.format == BookFormat::daisy ? partial : partial + "/" + kEpubContentFolder;
  std::string archive = job.bookPath + ".novo";
  std::error_code error;
  fs::remove_all(partial, error);
  std::remove(archive.c_str());
  if (!fs::create_directories(audio, error)) return BookResult::writeFailed;
  // The sections are encoded side by side, one encoder per core, as the
  // parts of a book are.
  BookResult result = BookResult::done;
  std::vector<SectionEncoder> running;
  size_t most = size_t(std::max(1, coreCount()));
  for (size_t n = 1; n <= sections.size() && result == BookResult::done; ++n) {
    const BookSection& s = sections[n - 1];
    if (s.sentences.empty()) continue;
    if (running.size() == most) {
      if (!finishSection(running)) result = BookResult::encoderFailed;
      else ++sectionsDone;
      if (result != BookResult::done) break;
    }
    if (job.progress) job.progress(n, sections.size());
    SectionEncoder e{-1, audio + "/secao" + std::to_string(n) + ".wav", audio + "/" + sectionAudioName(n)};
    if (!cutWav(job.wavPath, s.firstFrame, s.endFrame, e.wav)) {
      result = BookResult::writeFailed;
    } else if (!startSection(job, e, n)) {
      std::remove(e.wav.c_str());
      result = BookResult::encoderFailed;
    } else {
      running.push_back(e);
    }
  }
  while (!running.empty()) {
    if (result != BookResult::done) {
      killProgram(running.front().pid);
      std::remove(running.front().wav.c_str());
      running.erase(running.begin());
    } else if (finishSection(running)) {
      ++sectionsDone;
    } else {
      result = BookResult::encoderFailed;
    }
  }
  if (result == BookResult::done && !writeBook(job, sections, partial))
    result = BookResult::writeFailed;
  if (result == BookResult::done) {
    // A DAISY book is its scratch folder; an EPUB is the archive made of it.
    std::string made = job.format == BookFormat::daisy ? partial : archive;
    fs::remove_all(job.bookPath, error);
    fs::rename(made, job.bookPath, error);
    if (error) result = BookResult::writeFailed;
  }
  fs::remove_all(partial, error);
  std::remove(archive.c_str());
  return result;
}

}  // namespace varlo
