// Making a talking book, DAISY 2.02 or EPUB 3, from a rendered text: its WAV
// file is cut at the sections, every section encoded to MP3 with the MP3
// options in force, and the book's files written (and, for EPUB, packed).
// The book is made under a scratch name and takes its own only when whole,
// so a cut run never leaves a book that looks finished.
#pragma once

#include <functional>
#include <string>

#include "production/book_markup.h"

namespace varlo {

enum class BookFormat { daisy, epub };

struct BookJob {
  BookFormat format = BookFormat::daisy;
  std::string wavPath;       // the whole recording
  SampleSink sink;           // its marks
  BookFacts facts;
  std::string mp3Options;
  std::string bookPath;      // the DAISY folder or the .epub file, made anew;
                             // an older book there is replaced
  // Told before each section is encoded (1-based, of total).
  std::function<void(size_t section, size_t total)> progress;
};

enum class BookResult { done, encoderFailed, writeFailed };

// `sectionsDone` tells how many sections were encoded when it failed.
BookResult makeBook(const BookJob& job, size_t& sectionsDone);

// Copies frames [first, end) of a PCM WAV file into a new WAV file; false
// when either file fails.
bool cutWav(const std::string& from, uint64_t first, uint64_t end, const std::string& to);

}  // namespace varlo
