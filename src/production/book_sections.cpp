// Cutting a rendered text's marks into sections and sentences.
#include "production/book_sections.h"

#include <algorithm>

#include "base/plain_text.h"

namespace varlo {

namespace {

constexpr int kDeepestLevel = 6;

// A request that ends within a sentence: the next one goes on with it.
bool endsWithinSentence(std::string_view text) {
  std::string_view trimmed = trimBlanks(text);
  return !trimmed.empty() && (trimmed.back() == ',' || trimmed.back() == ';');
}

// Ranks as levels, as in an outline: a heading sits one level below the
// open headings of a higher rank (a smaller number), so chapters without
// parts are level 1 and no level is ever skipped.
std::vector<int> levelsOf(const std::vector<AudioMark>& marks) {
  std::vector<int> open;   // ranks of the headings the next one may sit under
  std::vector<int> levels;
  for (const AudioMark& m : marks) {
    if (m.kind != AudioMark::Kind::heading) continue;
    while (!open.empty() && open.back() >= m.rank) open.pop_back();
    levels.push_back(std::min(int(open.size()) + 1, kDeepestLevel));
    open.push_back(m.rank);
  }
  return levels;
}

}  // namespace

std::vector<BookSection> bookSections(const SampleSink& sink, const std::string& bookTitle) {
  std::vector<BookSection> sections;
  std::vector<int> levels = levelsOf(sink.marks);
  size_t headings = 0;
  int page = 1;
  std::vector<int> pagesDue;
  bool joinNext = false;
  // The first section also holds whatever the recording has before it.
  auto startSection = [&](std::string title, int level, uint64_t frame) {
    if (sections.empty()) frame = 0;
    if (!sections.empty()) sections.back().endFrame = frame;
    sections.push_back({std::move(title), level, false, frame, sink.frames, {}});
    joinNext = false;
  };
  for (const AudioMark& m : sink.marks) {
    if (m.kind == AudioMark::Kind::page) {
      pagesDue.push_back(++page);
      joinNext = false;
      continue;
    }
    if (m.kind == AudioMark::Kind::heading) {
      startSection(std::string(trimBlanks(m.text)), levels[headings++], m.frame);
      sections.back().spokenTitle = true;
    } else if (sections.empty()) {
      startSection(bookTitle, 1, 0);
    }
    BookSection& s = sections.back();
    uint64_t at = m.frame - s.firstFrame;
    if (joinNext && pagesDue.empty() && !s.sentences.empty()) {
      s.sentences.back().text += " " + std::string(trimBlanks(m.text));
    } else {
      s.sentences.push_back({std::string(trimBlanks(m.text)), at, at, std::move(pagesDue)});
      pagesDue.clear();
    }
    joinNext = m.kind == AudioMark::Kind::request && endsWithinSentence(m.text);
  }
  if (sections.empty()) startSection(bookTitle, 1, 0);
  // Pages after the last sentence begin at it.
  BookSection& last = sections.back();
  if (!pagesDue.empty() && !last.sentences.empty())
    for (int p : pagesDue) last.sentences.back().pages.push_back(p);
  // Every sentence lasts until the next one, the last until its section
  // ends, and the first starts with its section: no audio is left out.
  for (BookSection& s : sections) {
    uint64_t length = s.endFrame - s.firstFrame;
    if (!s.sentences.empty()) s.sentences[0].begin = 0;
    for (size_t i = 0; i < s.sentences.size(); ++i) {
      BookSentence& sentence = s.sentences[i];
      sentence.end = i + 1 < s.sentences.size() ? s.sentences[i + 1].begin : length;
    }
  }
  return sections;
}

}  // namespace varlo
