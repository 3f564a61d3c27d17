// Sections cut from a rendering's marks and the DAISY 2.02 files written for
// them: well-formed with any text, every link resolving, the clips of a
// section following one another without gap or overlap.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "book_files.h"
#include "production/book_sections.h"
#include "production/daisy_book.h"

namespace varlo {
namespace {

namespace fs = std::filesystem;
using Kind = AudioMark::Kind;

using test::allMatches;
using test::readAll;

std::string metaContent(const std::string& file, const std::string& name) {
  std::vector<std::string> found = allMatches(file, "name=\"" + name + "\" content=\"([^\"]*)\"");
  return found.empty() ? "" : found[0];
}

double npt(const std::string& value) { return std::atof(value.c_str()); }

class DaisyBook : public test::BookFolderTest {
 protected:
  BookFacts facts{"Livro", "Autora", "varlo-livro-1", "espeak-ng"};

  // Marks every second of a recording of `frames` frames at 1000 Hz.
  static SampleSink sinkOf(std::vector<AudioMark> marks, uint64_t frames) {
    return SampleSink{1000, frames, std::move(marks)};
  }

  std::vector<BookSection> write(const SampleSink& sink) {
    std::vector<BookSection> sections = bookSections(sink, "Livro");
    EXPECT_TRUE(writeDaisyBook(dir.string(), facts, sections, sink.rate));
    return sections;
  }

  // Every file well-formed, every link of the NCC and of the SMIL files
  // resolving to an id of its file, and the clips of each SMIL file
  // following one another from 0 to its duration.
  void checkBook() {
    std::string command = "xmllint --noout --nonet '" + dir.string() + "'/*.html";
    if (fs::exists(dir / sectionSmilName(1))) command += " '" + dir.string() + "'/*.smil";
    ASSERT_EQ(std::system((command + " 2>&1").c_str()), 0) << command;
    std::string ncc = readAll(dir / "ncc.html");
    size_t smilFiles = 0;
    double total = 0;
    for (const std::string& href : allMatches(ncc, "href=\"([^\"]*)\"")) {
      size_t hash = href.find('#');
      ASSERT_NE(hash, std::string::npos) << href;
      std::string target = readAll(dir / href.substr(0, hash));
      EXPECT_NE(target.find("id=\"" + href.substr(hash + 1) + "\""), std::string::npos) << href;
    }
    std::string text = readAll(dir / kDaisyTextName);
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (entry.path().extension() != ".smil") continue;
      ++smilFiles;
      std::string smil = readAll(entry.path());
      for (const std::string& src : allMatches(smil, "<text src=\"[^#]*#([^\"]*)\""))
        EXPECT_NE(text.find("id=\"" + src + "\""), std::string::npos) << src;
      std::vector<std::string> begins = allMatches(smil, "clip-begin=\"npt=([0-9.]*)s\"");
      std::vector<std::string> ends = allMatches(smil, "clip-end=\"npt=([0-9.]*)s\"");
      ASSERT_EQ(begins.size(), ends.size());
      ASSERT_FALSE(begins.empty());
      EXPECT_EQ(npt(begins[0]), 0.0);
      for (size_t i = 0; i < begins.size(); ++i) {
        EXPECT_LT(npt(begins[i]), npt(ends[i])) << entry.path() << i;
        if (i > 0) {
          EXPECT_EQ(begins[i], ends[i - 1]) << entry.path() << i;
        }
      }
      std::vector<std::string> duration = allMatches(smil, "<seq dur=\"([0-9.]*)s\"");
      ASSERT_EQ(duration.size(), 1u);
      EXPECT_EQ(duration[0], ends.back());
      total += npt(duration[0]);
    }
    EXPECT_EQ(metaContent(ncc, "ncc:files"), std::to_string(2 * smilFiles + 2));
    EXPECT_EQ(metaContent(ncc, "ncc:totalTime"), clockTime(total));
    EXPECT_EQ(metaContent(ncc, "dc:format"), "Daisy 2.02");
    EXPECT_EQ(metaContent(ncc, "dc:language"), "pt-BR");
  }
};

TEST_F(DaisyBook, SectionsSentencesAndPagesOfAHeadedText) {
  SampleSink sink = sinkOf({{Kind::request, 500, " Pref\xE1" "cio curto. ", 0},
                            {Kind::heading, 2000, "PARTE 1", 1},
                            {Kind::heading, 3000, "CAP\xCDTULO 1", 2},
                            {Kind::request, 4000, " Uma frase, ", 0},
                            {Kind::request, 4500, "que continua. ", 0},
                            {Kind::page, 6000, "", 0},
                            {Kind::request, 6000, " Outra. ", 0},
                            {Kind::heading, 8000, "CAP\xCDTULO 2", 2},
                            {Kind::request, 9000, " Fim. ", 0}},
                           10000);
  std::vector<BookSection> sections = write(sink);
  ASSERT_EQ(sections.size(), 4u);
  EXPECT_EQ(sections[0].title, "Livro");
  EXPECT_EQ(sections[0].firstFrame, 0u);
  EXPECT_EQ(sections[0].sentences[0].begin, 0u);   // the silence before it is its own
  EXPECT_EQ((std::vector<int>{sections[0].level, sections[1].level, sections[2].level, sections[3].level}),
            (std::vector<int>{1, 1, 2, 2}));
  const BookSection& chapter = sections[2];
  ASSERT_EQ(chapter.sentences.size(), 3u);
  EXPECT_EQ(chapter.sentences[1].text, "Uma frase, que continua.");
  EXPECT_EQ(chapter.sentences[1].begin, 1000u);
  EXPECT_EQ(chapter.sentences[1].end, 3000u);
  EXPECT_EQ(chapter.sentences[2].pages, (std::vector<int>{2}));
  EXPECT_EQ(chapter.sentences[2].end, 5000u);
  checkBook();
  std::string ncc = readAll(dir / "ncc.html");
  EXPECT_EQ(metaContent(ncc, "ncc:depth"), "2");
  EXPECT_EQ(metaContent(ncc, "ncc:tocItems"), "5");
  EXPECT_EQ(metaContent(ncc, "ncc:pageNormal"), "1");
  EXPECT_EQ(metaContent(ncc, "ncc:totalTime"), "0:00:10");
}

// Markup characters and control characters in the text and the facts:
// escaped, and the files stay well-formed.
TEST_F(DaisyBook, MarkupInTheTextIsEscaped) {
  facts.title = "A & B <c> \"d\"";
  SampleSink sink = sinkOf({{Kind::heading, 0, "# <b> & ]]>", 1},
                            {Kind::request, 100, " x < y && z ]]> \x01 fim. ", 0}},
                           1000);
  write(sink);
  checkBook();
  EXPECT_NE(readAll(dir / kDaisyTextName).find("x &lt; y &amp;&amp; z ]]&gt;"), std::string::npos);
}

TEST_F(DaisyBook, TextWithoutHeadingsIsOneSectionTitledWithTheBook) {
  write(sinkOf({{Kind::request, 0, " Um. ", 0}, {Kind::request, 700, " Dois. ", 0}}, 1500));
  checkBook();
  EXPECT_EQ(metaContent(readAll(dir / "ncc.html"), "ncc:tocItems"), "1");
  EXPECT_TRUE(fs::exists(dir / sectionSmilName(1)));
  EXPECT_FALSE(fs::exists(dir / sectionSmilName(2)));
}

// Ranks that skip a level never make the NCC skip one; many headings
// each get their own file.
TEST_F(DaisyBook, FiveThousandHeadingsAndSkippedLevels) {
  std::vector<AudioMark> marks;
  for (int i = 0; i < 5000; ++i) {
    marks.push_back({Kind::heading, uint64_t(i) * 10, "# T\xEDtulo " + std::to_string(i), i % 2 ? 6 : 1});
    marks.push_back({Kind::request, uint64_t(i) * 10 + 5, " Texto. ", 0});
  }
  std::vector<BookSection> sections = write(sinkOf(marks, 50000));
  ASSERT_EQ(sections.size(), 5000u);
  EXPECT_EQ(sections[1].level, 2);
  checkBook();
  EXPECT_EQ(metaContent(readAll(dir / "ncc.html"), "ncc:tocItems"), "5000");
}

// Chapters of a book without parts are its top level, and a higher heading
// after them closes them.
TEST_F(DaisyBook, LevelsFollowTheOutlineOfTheRanksUsed) {
  std::vector<AudioMark> marks;
  for (int rank : {2, 2, 3, 2, 1, 4, 2})
    marks.push_back({Kind::heading, marks.size() * 10, "T", rank});
  std::vector<int> levels;
  for (const BookSection& s : bookSections(sinkOf(marks, 100), "Livro")) levels.push_back(s.level);
  EXPECT_EQ(levels, (std::vector<int>{1, 1, 2, 1, 1, 2, 2}));
}

TEST_F(DaisyBook, AFileThatCannotBeWrittenFailsTheBookWithoutAnNcc) {
  fs::create_directory(dir / sectionSmilName(1));   // a directory where a file must go
  SampleSink sink = sinkOf({{Kind::request, 0, " Um. ", 0}}, 100);
  EXPECT_FALSE(writeDaisyBook(dir.string(), facts, bookSections(sink, "Livro"), sink.rate));
  EXPECT_FALSE(fs::exists(dir / "ncc.html"));
}

}  // namespace
}  // namespace varlo
