// Making a talking book, DAISY 2.02 or EPUB 3, from a text rendered section
// by section: each section's WAV file is handed over as soon as it is
// recorded and encoded to MP3 (with the MP3 options in force) while the next
// one is rendered; once all are in, the book's files are written (and, for
// EPUB, packed). The book is made under a scratch name and takes its own
// only when whole, so a cut run never leaves a book that looks finished.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "production/book_markup.h"

namespace varlo {

enum class BookFormat { daisy, epub };

struct BookJob {
  BookFormat format = BookFormat::daisy;
  SampleSink sink;           // the marks of the sections one after another
  BookFacts facts;
  std::string mp3Options;
  std::string bookPath;      // the DAISY folder or the .epub file, made anew;
                             // an older book there is replaced
};

enum class BookResult { done, encoderFailed, writeFailed };

// A book while it is made.
struct BookMaking {
  struct Encoder {
    int pid = -1;
    std::string wav, mp3;
  };
  std::string partial;        // the scratch folder
  std::string audio;          // where the sections' MP3s go in it
  std::vector<Encoder> running;
  size_t handedOver = 0, encoded = 0;
  BookResult result = BookResult::done;
};

// Makes the scratch folder; false when it cannot be made.
bool startBook(const BookJob& job, BookMaking& book);
// Takes the next section's recording (1-based, in order), which is moved
// into the scratch folder and encoded; while as many encoders as cores run,
// the oldest is waited for first. False once the book has failed.
bool addBookSection(const BookJob& job, BookMaking& book, const std::string& wavPath);
// Waits for the encoders and writes the book from job.sink, whose sections
// must be the ones handed over; `sectionsDone` tells how many were encoded.
BookResult finishBook(const BookJob& job, BookMaking& book, size_t& sectionsDone);
// Stops the encoders and removes the scratch: no book is made.
void abandonBook(BookMaking& book);

}  // namespace varlo
