// Finding headings, page breaks and paragraphs in a plain text as it is read.
#include "production/text_structure.h"

#include <array>

#include "base/plain_text.h"

namespace varlo {

namespace {

constexpr size_t kLongestCapitalsHeading = 60;
constexpr size_t kLongestTitleAfterNumber = 100;
constexpr const char* kPageBreak = "\f";

// Windows-1252 letters: ASCII and the accented Latin-1 ones.
bool isUpperLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}
bool isLowerLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 0xDF && c != 0xF7);
}
unsigned char upper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c != 0xF7 && c != 0xFF) return c - 32;
  return c;
}

// The word that opens a numbered heading, in capitals, and its rank.
struct HeadingWord {
  std::string_view word;
  int rank;
};
constexpr std::array<HeadingWord, 4> kHeadingWords = {{
    {"PARTE", 1}, {"LIVRO", 1}, {"CAP\xCDTULO", 2}, {"CAPITULO", 2}}};

bool startsWithWord(std::string_view line, std::string_view word) {
  if (line.size() <= word.size() || line[word.size()] != ' ') return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (upper(static_cast<unsigned char>(line[i])) != static_cast<unsigned char>(word[i])) return false;
  return true;
}

// Digits, or a Roman numeral in either case; its length, 0 when none.
size_t numberLength(std::string_view text) {
  size_t n = 0;
  while (n < text.size() && text[n] >= '0' && text[n] <= '9') ++n;
  if (n > 0) return n;
  while (n < text.size() && std::string_view("IVXLCDMivxlcdm").find(text[n]) != std::string_view::npos) ++n;
  return n;
}

// "CAPÍTULO 3", "Parte II", "Capítulo 4 - A volta": the number ends the
// line or a separator follows it, so a sentence that begins with the word
// is not taken for a heading.
int numberedRank(std::string_view line) {
  for (const HeadingWord& h : kHeadingWords) {
    if (!startsWithWord(line, h.word)) continue;
    std::string_view rest = trimSpaces(line.substr(h.word.size()));
    size_t n = numberLength(rest);
    if (n == 0) return 0;
    std::string_view after = trimSpaces(rest.substr(n));
    if (after.empty()) return h.rank;
    bool separated = std::string_view("-:.\x96\x97").find(after[0]) != std::string_view::npos;
    return separated && line.size() <= kLongestTitleAfterNumber ? h.rank : 0;
  }
  return 0;
}

// "# Título" to "###### Título".
int markdownRank(std::string_view line, std::string& text) {
  size_t hashes = line.find_first_not_of('#');
  if (hashes == 0 || hashes > 6 || hashes == std::string_view::npos || line[hashes] != ' ') return 0;
  std::string_view title = trimBlanks(line.substr(hashes));
  if (title.empty()) return 0;
  text = std::string(title);
  return int(hashes);
}

// A short line with letters, none of them small. The conversion's own
// markers ("#SOM#", "#SAPI#") are not headings.
bool inCapitals(std::string_view line) {
  if (line.size() > kLongestCapitalsHeading || line[0] == '#') return false;
  int letters = 0;
  for (unsigned char c : line) {
    if (isLowerLetter(c)) return false;
    letters += isUpperLetter(c);
  }
  return letters >= 2;
}

// Moves the pieces of the next raw line into the queue; false at the end.
bool readPieces(TextStructure& text) {
  std::string raw;
  if (!text.source || !text.source(raw)) return false;
  size_t start = 0;
  for (size_t feed; (feed = raw.find('\f', start)) != std::string::npos; start = feed + 1) {
    if (feed > start) text.pieces.push_back(raw.substr(start, feed - start));
    text.pieces.push_back(kPageBreak);
  }
  if (start < raw.size() || start == 0) text.pieces.push_back(raw.substr(start));
  return true;
}

bool isBlankPiece(const std::string& piece) {
  return piece == kPageBreak || trimBlanks(piece).empty();
}

}  // namespace

int headingRank(std::string_view line, bool alone, std::string& text) {
  std::string_view trimmed = trimBlanks(line);
  text = std::string(trimmed);
  if (trimmed.empty()) return 0;
  if (int rank = markdownRank(trimmed, text)) return rank;
  if (int rank = numberedRank(trimmed)) return rank;
  return alone && inCapitals(trimmed) ? 2 : 0;
}

void openTextStructure(TextStructure& text, RawLineSource source) {
  text = TextStructure{};
  text.source = std::move(source);
}

bool nextStructuredLine(TextStructure& text, StructuredLine& line) {
  if (text.pieces.empty() && !readPieces(text)) return false;
  std::string piece = std::move(text.pieces.front());
  text.pieces.pop_front();
  line = StructuredLine{};
  if (piece == kPageBreak) {
    line.role = LineRole::pageBreak;
    text.blankBefore = true;
    return true;
  }
  bool blank = trimBlanks(piece).empty();
  if (!blank) {
    while (text.pieces.empty() && readPieces(text)) {}
    bool blankAfter = text.pieces.empty() || isBlankPiece(text.pieces.front());
    line.rank = headingRank(piece, text.blankBefore && blankAfter, line.text);
  }
  if (line.rank > 0)
    line.role = LineRole::heading;
  else
    line.text = std::move(piece);
  text.blankBefore = blank;
  return true;
}

}  // namespace varlo
