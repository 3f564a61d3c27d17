// Encoding a book's sections as they are recorded and writing the book's
// files beside them.
#include "production/book_job.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "console/console.h"
#include "platform/process.h"
#include "production/conversion_mp3.h"
#include "production/daisy_book.h"
#include "production/epub_book.h"

namespace varlo {

namespace fs = std::filesystem;

namespace {

using Encoder = BookMaking::Encoder;

// Starts lame on a section; false when it could not be started.
bool startEncoder(const BookJob& job, Encoder& e, size_t number) {
  Mp3Tags tags{job.facts.title, job.facts.title, int(number)};
  std::vector<std::string> argv = lameCommand();
  std::vector<std::string> args = lameArguments(job.mp3Options, tags, e.wav, e.mp3);
  argv.insert(argv.end(), args.begin(), args.end());
  e.pid = startProgram(argv, false, {"LC_ALL=C.UTF-8"}).pid;
  return e.pid >= 0;
}

// Waits for the oldest encoder to end: true when it made its MP3. Its WAV
// goes either way.
bool finishOldest(BookMaking& book) {
  Encoder e = book.running.front();
  book.running.erase(book.running.begin());
  int status;
  while ((status = checkProgram(e.pid)) == kStillRunning) pumpMessages(), usleep(20000);
  std::remove(e.wav.c_str());
  std::error_code error;
  bool made = status == 0 && fs::file_size(e.mp3, error) > 0 && !error;
  if (made) ++book.encoded;
  else book.result = BookResult::encoderFailed;
  return made;
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

bool startBook(const BookJob& job, BookMaking& book) {
  book = BookMaking{};
  book.partial = job.bookPath + ".parcial";
  book.audio = job.format == BookFormat::daisy ? book.partial : book.partial + "/" + kEpubContentFolder;
  std::error_code error;
  fs::remove_all(book.partial, error);
  std::remove((job.bookPath + ".novo").c_str());
  return fs::create_directories(book.audio, error);
}

bool addBookSection(const BookJob& job, BookMaking& book, const std::string& wavPath) {
  size_t number = ++book.handedOver;
  Encoder e{-1, book.audio + "/secao" + std::to_string(number) + ".wav",
            book.audio + "/" + sectionAudioName(number)};
  if (book.result != BookResult::done) return false;
  if (book.running.size() >= size_t(std::max(1, coreCount())) && !finishOldest(book)) return false;
  if (std::rename(wavPath.c_str(), e.wav.c_str()) != 0) {
    book.result = BookResult::writeFailed;
  } else if (!startEncoder(job, e, number)) {
    std::remove(e.wav.c_str());
    book.result = BookResult::encoderFailed;
  } else {
    book.running.push_back(e);
  }
  return book.result == BookResult::done;
}

void abandonBook(BookMaking& book) {
  for (const Encoder& e : book.running) {
    killProgram(e.pid);
    std::remove(e.wav.c_str());
  }
  book.running.clear();
  std::error_code error;
  if (!book.partial.empty()) fs::remove_all(book.partial, error);
}

BookResult finishBook(const BookJob& job, BookMaking& book, size_t& sectionsDone) {
  while (book.result == BookResult::done && !book.running.empty()) finishOldest(book);
  std::vector<BookSection> sections = bookSections(job.sink, job.facts.title);
  // A section with no sentence has no audio: the sections handed over are
  // the others.
  size_t voiced = size_t(std::count_if(sections.begin(), sections.end(),
                                       [](const BookSection& s) { return !s.sentences.empty(); }));
  if (book.result == BookResult::done && voiced != book.handedOver) book.result = BookResult::writeFailed;
  std::string archive = job.bookPath + ".novo";
  if (book.result == BookResult::done && !writeBook(job, sections, book.partial))
    book.result = BookResult::writeFailed;
  if (book.result == BookResult::done) {
    // A DAISY book is its scratch folder; an EPUB is the archive made of it.
    std::string made = job.format == BookFormat::daisy ? book.partial : archive;
    std::error_code error;
    fs::remove_all(job.bookPath, error);
    fs::rename(made, job.bookPath, error);
    if (error) book.result = BookResult::writeFailed;
  }
  sectionsDone = book.encoded;
  abandonBook(book);
  std::remove(archive.c_str());
  return book.result;
}

}  // namespace varlo
