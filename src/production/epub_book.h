// An EPUB 3 book with media overlays: one XHTML document per section with an
// id per sentence and the page breaks as page targets, one SMIL overlay per
// section tying each sentence to a clip of the section's MP3, the
// navigation document from the headings and the pages, and the package
// document with each overlay's duration and the book's. The audio files are
// made by the caller; the tree is then packed into the ".epub" archive.
#pragma once

#include <string>
#include <vector>

#include "production/book_markup.h"

namespace varlo {

// The folder of the tree that holds the package and the sections' files.
constexpr const char* kEpubContentFolder = "EPUB";

// Writes the book's files into the directory (which exists and holds the
// sections' MP3s in kEpubContentFolder); false when a file could not be
// written whole. `modified` is the date of the book ("CCYY-MM-DDThh:mm:ssZ").
bool writeEpubFiles(const std::string& directory, const BookFacts& facts,
                    const std::vector<BookSection>& sections, int rate, const std::string& modified);
// Packs the tree into the archive, "mimetype" first and every entry stored.
bool packEpub(const std::string& directory, const std::string& archive);

// "h:mm:ss.mmm" of a number of milliseconds: a SMIL clock value.
std::string smilClock(uint64_t milliseconds);
// The present time as EPUB dates it.
std::string epubModified();

}  // namespace varlo
