// A DAISY 2.02 full-text, full-audio book: the navigation control centre
// "ncc.html" listing the sections' headings and the pages, one SMIL file per
// section with a par per sentence that ties a clip of the section's MP3 to
// the sentence in the XHTML text, and the text itself with an id per
// sentence. The audio files are made by the caller.
#pragma once

#include <string>
#include <vector>

#include "production/book_markup.h"

namespace varlo {

constexpr const char* kDaisyTextName = "texto.html";

// Writes the book's ncc.html, SMIL files and text into the directory
// (which exists); false when a file could not be written whole.
bool writeDaisyBook(const std::string& directory, const BookFacts& facts,
                    const std::vector<BookSection>& sections, int rate);

}  // namespace varlo
