// A rendered text cut into the sections of a talking book: one section from
// each heading to the next (the text before the first heading, or a text
// with none, is a section titled with the book's title), each holding its
// heading and sentences with the frames they take in the recording, and the
// pages that begin at them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "production/conversion_render.h"

namespace varlo {

struct BookSentence {
  std::string text;          // Windows-1252
  uint64_t begin = 0, end = 0;   // frames of the section's own audio
  std::vector<int> pages;    // page numbers that begin here
};

struct BookSection {
  std::string title;         // Windows-1252
  int level = 1;             // 1 to 6, never more than one below the section before
  bool spokenTitle = false;  // the heading is the first sentence (a title made up is not)
  uint64_t firstFrame = 0, endFrame = 0;   // in the whole recording
  std::vector<BookSentence> sentences;
};

// Requests that end in a comma or another pause within a sentence are joined
// with the next. The text begins on page 1; each page break begins the next,
// whose number is kept with the sentence after it.
std::vector<BookSection> bookSections(const SampleSink& sink, const std::string& bookTitle);

}  // namespace varlo
