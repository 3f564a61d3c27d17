// A DAISY 2.02 full-text, full-audio book: the navigation control centre
// "ncc.html" listing the sections' headings and the pages, one SMIL file per
// section with a par per sentence that ties a clip of the section's MP3 to
// the sentence in the XHTML text, and the text itself with an id per
// sentence. The audio files are made by the caller.
#pragma once

#include <string>
#include <vector>

#include "production/book_sections.h"

namespace varlo {

// What a book says of itself, in Windows-1252.
struct BookFacts {
  std::string title;
  std::string creator;
  std::string identifier;
  std::string narrator;
};

// The sections' audio: the file of section i (1-based) and the rate its
// frames count in.
std::string sectionAudioName(size_t section);
std::string sectionSmilName(size_t section);
constexpr const char* kDaisyTextName = "texto.html";

// Writes the book's ncc.html, SMIL files and text into the directory
// (which exists); false when a file could not be written whole.
bool writeDaisyBook(const std::string& directory, const BookFacts& facts,
                    const std::vector<BookSection>& sections, int rate);

// Text of the book as XML character data, in UTF-8.
std::string xmlText(std::string_view cp1252);
// "h:mm:ss" of a number of seconds, rounded to the nearest second.
std::string clockTime(double seconds);

}  // namespace varlo
