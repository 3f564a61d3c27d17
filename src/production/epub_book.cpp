// Writing and packing an EPUB 3 book with media overlays.
#include "production/epub_book.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "base/zip_store.h"

namespace varlo {

namespace fs = std::filesystem;

namespace {

constexpr const char* kXhtmlHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\" "
    "xml:lang=\"pt-BR\" lang=\"pt-BR\">\n<head>\n<meta charset=\"utf-8\" />\n";

std::string contentName(size_t n) { return numbered("s", n) + ".xhtml"; }

uint64_t milliseconds(uint64_t frames, int rate) {
  return (frames * 1000 + uint64_t(rate) / 2) / uint64_t(rate);
}

std::string xhtmlStart(const std::string& title) {
  return std::string(kXhtmlHead) + "<title>" + xmlText(title) + "</title>\n</head>\n<body>\n";
}

std::string pageTargets(const BookSentence& sentence) {
  std::string out;
  for (int page : sentence.pages) {
    out += "<span epub:type=\"pagebreak\" id=\"" + numbered("pg", size_t(page)) + "\" title=\"" +
           std::to_string(page) + "\"></span>\n";
  }
  return out;
}

std::string contentFile(const BookSection& s, size_t n) {
  std::string out = xhtmlStart(s.title);
  size_t first = 0;
  std::string h = "h" + std::to_string(s.level);
  bool spoken = s.spokenTitle && !s.sentences.empty();
  if (spoken) out += pageTargets(s.sentences[0]);
  out += "<" + h + " id=\"" + headingId(s, n) + "\">" +
         xmlText(spoken ? s.sentences[0].text : s.title) + "</" + h + ">\n";
  if (spoken) first = 1;
  if (first < s.sentences.size()) {
    out += "<p>\n";
    for (size_t i = first; i < s.sentences.size(); ++i) {
      out += pageTargets(s.sentences[i]) + "<span id=\"" + sentenceId('s', n, i) + "\">" +
             xmlText(s.sentences[i].text) + "</span>\n";
    }
    out += "</p>\n";
  }
  return out + "</body>\n</html>\n";
}

std::string overlayFile(const BookSection& s, size_t n, int rate) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<smil xmlns=\"http://www.w3.org/ns/SMIL\" xmlns:epub=\"http://www.idpf.org/2007/ops\" "
      "version=\"3.0\">\n<body>\n";
  for (size_t i = 0; i < s.sentences.size(); ++i) {
    const BookSentence& sentence = s.sentences[i];
    out += "<par id=\"" + sentenceId('p', n, i) + "\">\n<text src=\"" + contentName(n) + "#" +
           sentenceId('s', n, i) + "\" />\n<audio src=\"" + sectionAudioName(n) + "\" clipBegin=\"" +
           smilClock(milliseconds(sentence.begin, rate)) + "\" clipEnd=\"" +
           smilClock(milliseconds(sentence.end, rate)) + "\" />\n</par>\n";
  }
  return out + "</body>\n</smil>\n";
}

// The headings as nested lists: levels never skip one, so each heading
// opens a list under the one before, stays beside it or closes lists.
std::string navFile(const BookFacts& facts, const std::vector<BookSection>& sections) {
  std::string out = xhtmlStart(facts.title);
  out += "<nav epub:type=\"toc\" id=\"toc\">\n<h1>Sum\xC3\xA1rio</h1>\n";
  int depth = 0;
  std::string pages;
  for (size_t n = 1; n <= sections.size(); ++n) {
    const BookSection& s = sections[n - 1];
    if (s.level > depth) {
      out += "<ol>\n<li>";
      ++depth;
    } else {
      for (; depth > s.level; --depth) out += "</li>\n</ol>\n";
      out += "</li>\n<li>";
    }
    out += "<a href=\"" + contentName(n) + "#" + headingId(s, n) + "\">" + xmlText(s.title) + "</a>";
    for (const BookSentence& sentence : s.sentences)
      for (int page : sentence.pages)
        pages += "<li><a href=\"" + contentName(n) + "#" + numbered("pg", size_t(page)) + "\">" +
                 std::to_string(page) + "</a></li>\n";
  }
  for (; depth > 0; --depth) out += "</li>\n</ol>\n";
  out += "</nav>\n";
  if (!pages.empty())
    out += "<nav epub:type=\"page-list\" id=\"paginas\" hidden=\"hidden\">\n<h1>P\xC3\xA1ginas</h1>\n<ol>\n" +
           pages + "</ol>\n</nav>\n";
  return out + "</body>\n</html>\n";
}

std::string packageFile(const BookFacts& facts, const std::vector<BookSection>& sections, int rate,
                        const std::string& modified) {
  std::string durations, manifest, spine;
  uint64_t total = 0;
  for (size_t n = 1; n <= sections.size(); ++n) {
    const BookSection& s = sections[n - 1];
    std::string overlay;
    if (!s.sentences.empty()) {
      // The total is the sum of the durations as written, to the millisecond.
      uint64_t length = milliseconds(s.endFrame - s.firstFrame, rate);
      total += length;
      durations += "<meta property=\"media:duration\" refines=\"#" + numbered("o", n) + "\">" +
                   smilClock(length) + "</meta>\n";
      manifest += "<item id=\"" + numbered("o", n) + "\" href=\"" + sectionSmilName(n) +
                  "\" media-type=\"application/smil+xml\" />\n<item id=\"" + numbered("m", n) +
                  "\" href=\"" + sectionAudioName(n) + "\" media-type=\"audio/mpeg\" />\n";
      overlay = " media-overlay=\"" + numbered("o", n) + "\"";
    }
    manifest += "<item id=\"" + numbered("x", n) + "\" href=\"" + contentName(n) +
                "\" media-type=\"application/xhtml+xml\"" + overlay + " />\n";
    spine += "<itemref idref=\"" + numbered("x", n) + "\" />\n";
  }
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" "
         "unique-identifier=\"id\" xml:lang=\"pt-BR\">\n"
         "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
         "<dc:identifier id=\"id\">" + xmlText(facts.identifier) + "</dc:identifier>\n"
         "<dc:title>" + xmlText(facts.title) + "</dc:title>\n"
         "<dc:creator>" + xmlText(facts.creator) + "</dc:creator>\n"
         "<dc:language>pt-BR</dc:language>\n"
         "<meta property=\"dcterms:modified\">" + modified + "</meta>\n"
         "<meta property=\"media:narrator\">" + xmlText(facts.narrator) + "</meta>\n"
         "<meta property=\"media:duration\">" + smilClock(total) + "</meta>\n" + durations +
         "</metadata>\n<manifest>\n"
         "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" properties=\"nav\" />\n" +
         manifest + "</manifest>\n<spine>\n" + spine + "</spine>\n</package>\n";
}

constexpr const char* kContainer =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
    "<rootfiles>\n<rootfile full-path=\"EPUB/package.opf\" "
    "media-type=\"application/oebps-package+xml\" />\n</rootfiles>\n</container>\n";

constexpr const char* kMimetype = "application/epub+zip";

}  // namespace

std::string smilClock(uint64_t ms) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%llu:%02llu:%02llu.%03llu",
                static_cast<unsigned long long>(ms / 3600000),
                static_cast<unsigned long long>(ms / 60000 % 60),
                static_cast<unsigned long long>(ms / 1000 % 60), static_cast<unsigned long long>(ms % 1000));
  return buffer;
}

std::string epubModified() {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  gmtime_r(&now, &t);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &t);
  return buffer;
}

bool writeEpubFiles(const std::string& directory, const BookFacts& facts,
                    const std::vector<BookSection>& sections, int rate, const std::string& modified) {
  if (rate <= 0) return false;
  fs::path root(directory), content = root / kEpubContentFolder;
  std::error_code error;
  fs::create_directories(root / "META-INF", error);
  fs::create_directories(content, error);
  bool written = writeWholeFile((root / "mimetype").string(), kMimetype) &&
                 writeWholeFile((root / "META-INF" / "container.xml").string(), kContainer);
  for (size_t n = 1; written && n <= sections.size(); ++n) {
    const BookSection& s = sections[n - 1];
    written = writeWholeFile((content / contentName(n)).string(), contentFile(s, n)) &&
              (s.sentences.empty() ||
               writeWholeFile((content / sectionSmilName(n)).string(), overlayFile(s, n, rate)));
  }
  return written && writeWholeFile((content / "nav.xhtml").string(), navFile(facts, sections)) &&
         writeWholeFile((content / "package.opf").string(), packageFile(facts, sections, rate, modified));
}

bool packEpub(const std::string& directory, const std::string& archive) {
  std::vector<std::string> names;
  std::error_code error;
  fs::path root(directory);
  for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::end(it);
       it.increment(error)) {
    std::string name = fs::relative(it->path(), root, error).generic_string();
    if (it->is_regular_file(error) && name != "mimetype") names.push_back(name);
  }
  if (error) return false;
  std::sort(names.begin(), names.end());
  ZipStore zip;
  bool ok = openZipStore(zip, archive) && addZipText(zip, "mimetype", kMimetype);
  for (const std::string& name : names) ok = ok && addZipFile(zip, name, (root / name).string());
  ok = closeZipStore(zip) && ok;
  if (!ok) std::remove(archive.c_str());
  return ok;
}

}  // namespace varlo
