// The EPUB 3 files written for a rendering's sections: well-formed with any
// text, every link of the navigation document and the overlays resolving,
// the headings nested as their levels say, the clips of an overlay following
// one another up to the duration the package gives it, and the package's
// total the sum of the overlays'.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

#include "book_files.h"
#include "production/book_sections.h"
#include "production/epub_book.h"

namespace varlo {
namespace {

namespace fs = std::filesystem;
using Kind = AudioMark::Kind;

using test::allMatches;
using test::readAll;

// The first two groups of every match, the first as the key.
std::map<std::string, std::string> pairs(const std::string& text, const std::string& pattern) {
  std::map<std::string, std::string> out;
  std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
    out[(*it)[1]] = (*it)[2];
  return out;
}

// Milliseconds of "h:mm:ss.mmm".
long clockMs(const std::string& clock) {
  int h = 0, m = 0, s = 0, ms = 0;
  EXPECT_EQ(std::sscanf(clock.c_str(), "%d:%d:%d.%d", &h, &m, &s, &ms), 4) << clock;
  return ((h * 60L + m) * 60 + s) * 1000 + ms;
}

class EpubBook : public test::BookFolderTest {
 protected:
  fs::path content;
  BookFacts facts{"Livro", "Autora", "varlo-livro", "espeak-ng"};

  void SetUp() override {
    BookFolderTest::SetUp();
    content = dir / kEpubContentFolder;
  }

  std::vector<BookSection> write(std::vector<AudioMark> marks, uint64_t frames) {
    SampleSink sink{1000, frames, std::move(marks)};
    std::vector<BookSection> sections = bookSections(sink, "Livro");
    EXPECT_TRUE(writeEpubFiles(dir.string(), facts, sections, sink.rate, "2026-01-02T03:04:05Z"));
    return sections;
  }

  // Every file well-formed; links, ids, clips and durations as the header
  // says. Returns the levels at which the navigation document nests its
  // headings.
  std::vector<int> checkBook() {
    std::string command = "cd '" + dir.string() + "' && xmllint --noout --nonet META-INF/container.xml EPUB/*.xhtml EPUB/package.opf";
    if (fs::exists(content / sectionSmilName(1))) command += " EPUB/*.smil";
    EXPECT_EQ(std::system((command + " 2>&1").c_str()), 0) << command;
    EXPECT_EQ(readAll(dir / "mimetype"), "application/epub+zip");
    std::string package = readAll(content / "package.opf");
    // Every file of the manifest but the audio, which the job makes, is there.
    for (const std::string& href : allMatches(package, "href=\"([^\"]*)\""))
      if (!href.ends_with(".mp3")) {
        EXPECT_TRUE(fs::exists(content / href)) << href;
      }
    auto resolves = [&](const std::string& link) {
      size_t hash = link.find('#');
      std::string target = readAll(content / link.substr(0, hash));
      EXPECT_NE(target.find("id=\"" + link.substr(hash + 1) + "\""), std::string::npos) << link;
    };
    std::string nav = readAll(content / "nav.xhtml");
    std::vector<int> levels;
    int depth = 0;
    std::regex tokens("<ol>|</ol>|<a href=\"([^\"]*)\"");
    bool inToc = true;
    for (auto it = std::sregex_iterator(nav.begin(), nav.end(), tokens); it != std::sregex_iterator(); ++it) {
      std::string token = (*it)[0];
      if (token == "<ol>") ++depth;
      else if (token == "</ol>") inToc = --depth > 0 && inToc;
      else {
        resolves((*it)[1]);
        if (inToc) levels.push_back(depth);
      }
    }
    EXPECT_EQ(depth, 0);
    long total = 0;
    std::map<std::string, std::string> hrefs = pairs(package, "<item id=\"([^\"]*)\" href=\"([^\"]*)\"");
    std::map<std::string, std::string> durations = pairs(package, "refines=\"#([^\"]*)\">([^<]*)<");
    for (const std::string& overlay : allMatches(package, "media-overlay=\"([^\"]*)\"")) {
      std::string href = hrefs[overlay];
      std::string smil = readAll(content / href);
      for (const std::string& src : allMatches(smil, "<text src=\"([^\"]*)\"")) resolves(src);
      std::vector<std::string> begins = allMatches(smil, "clipBegin=\"([^\"]*)\"");
      std::vector<std::string> ends = allMatches(smil, "clipEnd=\"([^\"]*)\"");
      EXPECT_EQ(begins.size(), ends.size());
      EXPECT_EQ(clockMs(begins.at(0)), 0);
      for (size_t i = 0; i < begins.size(); ++i) {
        EXPECT_LT(clockMs(begins[i]), clockMs(ends[i])) << href << i;
        if (i > 0) {
          EXPECT_EQ(begins[i], ends[i - 1]) << href << i;
        }
      }
      std::string duration = durations[overlay];
      EXPECT_EQ(duration, ends.back()) << href;
      total += clockMs(duration);
    }
    std::vector<std::string> whole = allMatches(package, "<meta property=\"media:duration\">([^<]*)<");
    EXPECT_EQ(clockMs(whole.at(0)), total);
    return levels;
  }
};

TEST_F(EpubBook, HeadingsNestSentencesAndPagesAreTargets) {
  write({{Kind::request, 500, " Pref\xE1" "cio. ", 0},
         {Kind::heading, 2000, "PARTE 1", 1},
         {Kind::heading, 3000, "CAP\xCDTULO 1", 2},
         {Kind::request, 4000, " Uma frase, ", 0},
         {Kind::request, 4500, "que continua. ", 0},
         {Kind::page, 6000, "", 0},
         {Kind::request, 6000, " Outra. ", 0},
         {Kind::heading, 8000, "PARTE 2", 1},
         {Kind::page, 8500, "", 0},
         {Kind::heading, 8500, "CAP\xCDTULO 2", 2},
         {Kind::request, 9000, " Fim. ", 0}},
        10000);
  EXPECT_EQ(checkBook(), (std::vector<int>{1, 1, 2, 1, 2}));
  std::string chapter = readAll(content / "s003.xhtml");
  EXPECT_NE(chapter.find("<h2 id=\"s003_0\">CAP\xC3\x8DTULO 1</h2>"), std::string::npos) << chapter;
  EXPECT_NE(chapter.find("<span id=\"s003_1\">Uma frase, que continua.</span>"), std::string::npos);
  EXPECT_NE(chapter.find("id=\"pg002\" title=\"2\"></span>\n<span id=\"s003_2\">"), std::string::npos);
  // A page break just before a heading is a target in front of the heading.
  EXPECT_NE(readAll(content / "s005.xhtml").find("id=\"pg003\" title=\"3\"></span>\n<h2"),
            std::string::npos);
  std::string package = readAll(content / "package.opf");
  EXPECT_NE(package.find("<meta property=\"media:duration\">0:00:10.000</meta>"), std::string::npos);
  EXPECT_NE(readAll(content / "nav.xhtml").find("epub:type=\"page-list\""), std::string::npos);
}

// Markup characters in the text, the headings and the facts are escaped;
// a heading line of 10 000 characters stays one heading.
TEST_F(EpubBook, MarkupAndAVeryLongHeading) {
  facts.title = "A & B <c> \"d\"";
  std::string longHeading = "# " + std::string(10000, 'x');
  write({{Kind::heading, 0, "# <b> & ]]>", 1},
         {Kind::request, 100, " x < y && z ]]> \x01 fim. ", 0},
         {Kind::heading, 500, longHeading, 1},
         {Kind::request, 600, " Texto. ", 0}},
        1000);
  EXPECT_EQ(checkBook(), (std::vector<int>{1, 1}));
  EXPECT_NE(readAll(content / "s001.xhtml").find("x &lt; y &amp;&amp; z ]]&gt;"), std::string::npos);
  EXPECT_NE(readAll(content / "nav.xhtml").find(std::string(10000, 'x')), std::string::npos);
}

TEST_F(EpubBook, TextWithoutHeadingsIsOneSectionTitledWithTheBook) {
  write({{Kind::request, 0, " Um. ", 0}, {Kind::request, 700, " Dois. ", 0}}, 1500);
  EXPECT_EQ(checkBook(), std::vector<int>{1});
  EXPECT_TRUE(fs::exists(content / "s001.smil"));
  EXPECT_FALSE(fs::exists(content / "s002.xhtml"));
  EXPECT_NE(readAll(content / "nav.xhtml").find(">Livro</a>"), std::string::npos);
}

// Many headings whose ranks skip levels: the lists never skip one.
TEST_F(EpubBook, FiveThousandHeadingsWithSkippedRanks) {
  std::vector<AudioMark> marks;
  for (int i = 0; i < 5000; ++i) {
    marks.push_back({Kind::heading, uint64_t(i) * 10, "# T " + std::to_string(i), i % 2 ? 6 : 1});
    marks.push_back({Kind::request, uint64_t(i) * 10 + 5, " Texto. ", 0});
  }
  write(marks, 50000);
  std::vector<int> levels = checkBook();
  ASSERT_EQ(levels.size(), 5000u);
  EXPECT_EQ(levels[0], 1);
  EXPECT_EQ(levels[1], 2);
  EXPECT_EQ(levels[4998], 1);
}

TEST(EpubClock, SmilClockValues) {
  EXPECT_EQ(smilClock(0), "0:00:00.000");
  EXPECT_EQ(smilClock(3723004), "1:02:03.004");
  EXPECT_EQ(smilClock(100 * 3600000ULL + 59999), "100:00:59.999");
}

}  // namespace
}  // namespace varlo
