// Converting a whole catalogue: every text under a source folder becomes a
// folder of audio under the destination. Each book is converted by this
// program run again for that one book (the one-shot job), in a scratch
// folder that takes the book's name only when the book is whole; the
// manifest (catalogue_manifest.h) says where every book is. A lock per book
// keeps two processes, here or on other machines of a cluster, from working
// on one book at once.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "production/catalogue_manifest.h"

namespace varlo {

struct CatalogueJob {
  std::string origin;        // the source folder
  std::string destination;   // the destination folder
  std::string settings;      // what in the settings shapes the audio, on one line
  std::string format;        // "MP3" or "DAISY"
  std::string program;       // this program's path, run again for each book
  int slots = 1;             // books converted at once
  // Environment entries ("NAME=value") each book's conversion gets.
  std::vector<std::string> environment;
  std::function<void(const std::string&)> tell;   // a line for the user, UTF-8
  // True once the run is to end: no book is started or taken in after it,
  // and the books under way end with this process.
  std::function<bool()> stopped;
};

// What `--catalogo-livro` ends with when another process holds the book.
constexpr int kBookLocked = 75;

// Looks at the source folder and the manifest and writes the manifest
// anew: a book done from the same text with the same settings, whose files
// are all there, stays done; any other is to be made (again). Books that
// cannot be converted (unreadable, not text, a folder name another book
// also gets) are marked failed with the reason. A manifest cut short or
// edited is rebuilt from the finished books, and kept beside it; nothing is
// deleted. False, with the reason in `refusal`, when the catalogue cannot be
// made at all (no source folder, a destination inside the source).
bool planCatalogue(const CatalogueJob& job, Catalogue& catalogue, std::string& refusal);

// The books of the catalogue still to make, in order.
std::vector<std::string> booksToMake(const Catalogue& catalogue);

// Converts the given books, job.slots at a time, telling the progress
// (books done of all, hours of audio, time left). A book another process is
// converting is waited for. Answers how many of them failed; returns early
// when job.stopped says so.
size_t runCatalogue(const CatalogueJob& job, const std::vector<std::string>& folders);

// The process of one book (`--catalogo-livro`): takes the book's lock,
// copies its text into its scratch folder and becomes the one-shot job
// there. Returns (the exit status) only when it did not: kBookLocked, 0 when
// the book was already done, 1 on a failure.
int becomeBookJob(const CatalogueJob& job, const std::string& folder);

// The manifest's summary, in lines for the user.
std::vector<std::string> catalogueSummary(const Catalogue& catalogue);

// The folder, beside the books, of the catalogue's scratch folders and locks.
std::string catalogueWorkArea(const std::string& destination);

}  // namespace varlo
