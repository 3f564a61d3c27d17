// What the files of a talking book share, whatever its format: the text as
// XML character data, times as the players read them, the names of the
// sections' files and the ids that tie a sentence's audio to its text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "production/book_sections.h"

namespace varlo {

// What a book says of itself, in Windows-1252.
struct BookFacts {
  std::string title;
  std::string creator;
  std::string identifier;
  std::string narrator;
};

// Text of the book as XML character data, in UTF-8.
std::string xmlText(std::string_view cp1252);
// "h:mm:ss" of a number of seconds, rounded to the nearest second.
std::string clockTime(double seconds);
// Seconds of a number of frames with three decimals ("12.345").
std::string clipSeconds(uint64_t frames, int rate);
double sectionSeconds(const BookSection& s, int rate);

// "prefixNNN": section numbers keep the files in order when listed.
std::string numbered(const char* prefix, size_t n);
// The sections' audio and SMIL files (section numbers are 1-based).
std::string sectionAudioName(size_t section);
std::string sectionSmilName(size_t section);
// Ids of a section's sentences: "sNNN_M" in the text, "pNNN_M" for the
// SMIL par, "tNNN_M" for its text element, "aNNN_M" for its audio.
std::string sentenceId(char kind, size_t section, size_t sentence);
// The id of section n's heading in the text: its first sentence when the
// heading is spoken, else "hNNN".
std::string headingId(const BookSection& s, size_t n);

// Writes the file whole; false when it could not be.
bool writeWholeFile(const std::string& path, const std::string& contents);

}  // namespace varlo
