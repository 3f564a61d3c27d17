// Writing a DAISY 2.02 book's ncc.html, SMIL files and XHTML text.
#include "production/daisy_book.h"

#include <algorithm>

namespace varlo {

namespace {

constexpr const char* kXhtmlHead =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"pt-BR\" lang=\"pt-BR\">\n<head>\n"
    "<meta http-equiv=\"Content-type\" content=\"text/html; charset=utf-8\" />\n";

std::string meta(const std::string& name, const std::string& content) {
  return "<meta name=\"" + name + "\" content=\"" + content + "\" />\n";
}

std::string smilFile(const BookFacts& facts, const BookSection& s, size_t number, int rate,
                     double elapsed) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<!DOCTYPE smil PUBLIC \"-//W3C//DTD SMIL 1.0//EN\" \"http://www.w3.org/TR/REC-smil/SMIL10.dtd\">\n"
      "<smil>\n<head>\n";
  out += meta("dc:format", "Daisy 2.02") + meta("dc:title", xmlText(facts.title)) +
         meta("dc:identifier", xmlText(facts.identifier)) +
         meta("ncc:generator", "VARLO") + meta("ncc:totalElapsedTime", clockTime(elapsed)) +
         meta("ncc:timeInThisSmil", clockTime(sectionSeconds(s, rate)));
  out += "<layout>\n<region id=\"txtView\" />\n</layout>\n</head>\n<body>\n";
  out += "<seq dur=\"" + clipSeconds(s.endFrame - s.firstFrame, rate) + "s\">\n";
  for (size_t i = 0; i < s.sentences.size(); ++i) {
    const BookSentence& sentence = s.sentences[i];
    out += "<par endsync=\"last\" id=\"" + sentenceId('p', number, i) + "\">\n";
    out += "<text src=\"" + std::string(kDaisyTextName) + "#" + sentenceId('s', number, i) +
           "\" id=\"" + sentenceId('t', number, i) + "\" />\n";
    out += "<audio src=\"" + sectionAudioName(number) + "\" clip-begin=\"npt=" +
           clipSeconds(sentence.begin, rate) + "s\" clip-end=\"npt=" + clipSeconds(sentence.end, rate) +
           "s\" id=\"" + sentenceId('a', number, i) + "\" />\n</par>\n";
  }
  return out + "</seq>\n</body>\n</smil>\n";
}

std::string heading(int level, const std::string& attributes, const std::string& body) {
  std::string h = "h" + std::to_string(level);
  return "<" + h + attributes + ">" + body + "</" + h + ">\n";
}

std::string textFile(const BookFacts& facts, const std::vector<BookSection>& sections) {
  std::string out = kXhtmlHead;
  out += "<title>" + xmlText(facts.title) + "</title>\n</head>\n<body>\n";
  for (size_t n = 1; n <= sections.size(); ++n) {
    const BookSection& s = sections[n - 1];
    size_t first = 0;
    bool spoken = s.spokenTitle && !s.sentences.empty();
    out += heading(s.level, " id=\"" + headingId(s, n) + "\"",
                   xmlText(spoken ? s.sentences[0].text : s.title));
    if (spoken) first = 1;
    if (first == s.sentences.size()) continue;
    out += "<p>\n";
    for (size_t i = first; i < s.sentences.size(); ++i)
      out += "<span id=\"" + sentenceId('s', n, i) + "\">" + xmlText(s.sentences[i].text) + "</span>\n";
    out += "</p>\n";
  }
  return out + "</body>\n</html>\n";
}

// The heading of a section links to its first par; a section with no
// sentence has no SMIL file and links to the text.
std::string nccFile(const BookFacts& facts, const std::vector<BookSection>& sections, int rate,
                    size_t files) {
  double total = 0;
  int depth = 0, pages = 0;
  for (const BookSection& s : sections) {
    total += sectionSeconds(s, rate);
    depth = std::max(depth, s.level);
    for (const BookSentence& sentence : s.sentences) pages += int(sentence.pages.size());
  }
  std::string out = kXhtmlHead;
  out += "<title>" + xmlText(facts.title) + "</title>\n";
  out += meta("dc:title", xmlText(facts.title)) + meta("dc:creator", xmlText(facts.creator)) +
         meta("dc:identifier", xmlText(facts.identifier)) + meta("dc:language", "pt-BR") +
         meta("dc:format", "Daisy 2.02") + meta("ncc:charset", "utf-8") +
         meta("ncc:generator", "VARLO") + meta("ncc:narrator", xmlText(facts.narrator)) +
         meta("ncc:totalTime", clockTime(total)) + meta("ncc:files", std::to_string(files)) +
         meta("ncc:tocItems", std::to_string(sections.size() + size_t(pages))) +
         meta("ncc:depth", std::to_string(depth)) + meta("ncc:pageNormal", std::to_string(pages)) +
         meta("ncc:pageFront", "0") + meta("ncc:pageSpecial", "0") +
         meta("ncc:multimediaType", "audioFullText");
  out += "</head>\n<body>\n";
  for (size_t n = 1; n <= sections.size(); ++n) {
    const BookSection& s = sections[n - 1];
    std::string target = s.sentences.empty() ? std::string(kDaisyTextName) + "#" + numbered("h", n)
                                             : sectionSmilName(n) + "#" + sentenceId('t', n, 0);
    std::string cls = n == 1 ? " class=\"title\"" : "";
    out += heading(s.level, cls + " id=\"" + numbered("n", n) + "\"",
                   "<a href=\"" + target + "\">" + xmlText(s.title) + "</a>");
    for (size_t i = 0; i < s.sentences.size(); ++i)
      for (int page : s.sentences[i].pages) {
        out += "<span class=\"page-normal\" id=\"" + numbered("pg", size_t(page)) + "\"><a href=\"" +
               sectionSmilName(n) + "#" + sentenceId('t', n, i) + "\">" + std::to_string(page) +
               "</a></span>\n";
      }
  }
  return out + "</body>\n</html>\n";
}

}  // namespace

bool writeDaisyBook(const std::string& directory, const BookFacts& facts,
                    const std::vector<BookSection>& sections, int rate) {
  if (rate <= 0) return false;
  std::string dir = directory.empty() || directory.back() == '/' ? directory : directory + "/";
  size_t files = 2;   // ncc.html and the text
  double elapsed = 0;
  bool written = true;
  for (size_t n = 1; n <= sections.size(); ++n) {
    const BookSection& s = sections[n - 1];
    if (s.sentences.empty()) continue;
    files += 2;
    written = written && writeWholeFile(dir + sectionSmilName(n), smilFile(facts, s, n, rate, elapsed));
    elapsed += sectionSeconds(s, rate);
  }
  written = written && writeWholeFile(dir + kDaisyTextName, textFile(facts, sections));
  // The NCC last: a book without it is not taken for a finished one.
  return written && writeWholeFile(dir + "ncc.html", nccFile(facts, sections, rate, files));
}

}  // namespace varlo
