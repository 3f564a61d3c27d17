// Listing, sorting and naming of directory entries on a real directory,
// with names on disk in UTF-8, in Latin-1 and outside Windows-1252.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "widgets/file_chooser.h"

namespace varlo {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> names(const std::vector<TMySearchRec>& entries) {
  std::vector<std::string> out;
  for (const TMySearchRec& e : entries) out.push_back(e.name);
  return out;
}

std::vector<std::string> sortedNames(std::vector<TMySearchRec> entries) {
  std::vector<std::string> out = names(entries);
  std::sort(out.begin(), out.end());
  return out;
}

class Listing : public ::testing::Test {
 protected:
  fs::path dir, before;

  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "varlo-list-XXXXXX").string();
    dir = mkdtemp(pattern.data());
    before = fs::current_path();
    fs::current_path(dir);
  }
  void TearDown() override {
    fs::current_path(before);
    fs::remove_all(dir);
  }
  void file(const std::string& diskName, size_t size = 1) {
    std::ofstream(dir / diskName) << std::string(size, 'x');
  }
};

TEST(Sorting, NumberedNamesSortByNumberAndAccentsFold) {
  std::vector<TMySearchRec> entries(4);
  entries[0].name = "\xC1" "baco.txt";   // Ábaco.txt
  entries[1].name = "10 - b.txt";
  entries[2].name = "9 - a.txt";
  entries[3].name = "abacate.txt";
  sortEntries(entries, SortKind::byName);
  EXPECT_EQ(names(entries), (std::vector<std::string>{"9 - a.txt", "10 - b.txt",
                                                       "abacate.txt", "\xC1" "baco.txt"}));
  EXPECT_EQ(sortKey("\xC1" "baco.txt"), "ABACO.TXT");
  EXPECT_EQ(sortKey("9x"), "000000000000009X");
  EXPECT_EQ(sortKey("\xE7\xE3o-\xD1\xF6\xDF"), "CAO-NO\xFE");   // ção-Ñöß
  // Windows-1252 letters of 128-191 fold by their own meaning: Š, œ, ª.
  EXPECT_EQ(sortKey("\x8A\x9C\xAA\x80"), "SOA\xFE");
}

TEST(Sorting, ExtensionSizeAndTimeKeepNameOrderForTies) {
  std::vector<TMySearchRec> entries(4);
  entries[0] = {300, 5, 32, "b.txt", "", "", 0};
  entries[1] = {100, 9, 32, "a.TXT", "", "", 0};
  entries[2] = {200, 5, 32, "c.doc", "", "", 0};
  entries[3] = {100, 1, 32, "semponto", "", "", 0};
  sortEntries(entries, SortKind::byExtension);
  EXPECT_EQ(names(entries), (std::vector<std::string>{"semponto", "c.doc", "a.TXT", "b.txt"}));
  sortEntries(entries, SortKind::bySize);
  EXPECT_EQ(names(entries), (std::vector<std::string>{"semponto", "b.txt", "c.doc", "a.TXT"}));
  sortEntries(entries, SortKind::byTime);
  EXPECT_EQ(names(entries), (std::vector<std::string>{"a.TXT", "semponto", "c.doc", "b.txt"}));
}

TEST(Masks, BecomePrefixesAndVowelsTakeTheirAccents) {
  EXPECT_EQ(expandMasks("a"), (std::vector<std::string>{"a*.*", "\xE1*.*", "\xE0*.*", "\xE3*.*",
                                                        "\xE2*.*", "\xE4*.*"}));
  EXPECT_EQ(expandMasks("*.txt|cap"), (std::vector<std::string>{"*.txt*", "cap*.*"}));
  EXPECT_TRUE(maskMatches("*.*", "LEIAME"));
  EXPECT_FALSE(maskMatches("a*.*", "\xC1rvore"));  // an accent is not dropped
  EXPECT_TRUE(maskMatches("\xE1*.*", "\xC1rvore"));  // but case is ignored
  EXPECT_TRUE(maskMatches("cap?tulo.t*", "CAP1TULO.TXT"));
  EXPECT_FALSE(maskMatches("*.txt*", "txt"));
}

TEST_F(Listing, TakesPlainFilesMatchingWithoutRegardToCase) {
  file("notas.TXT");
  file("livro.txt");
  file(".oculto.txt");
  file("imagem.png");
  fs::create_directory(dir / "capitulos.txt");
  EXPECT_EQ(sortedNames(listEntries("*.txt", attr::archive)),
            (std::vector<std::string>{"livro.txt", "notas.TXT"}));
  EXPECT_EQ(sortedNames(listEntries("", attr::directory)),
            std::vector<std::string>{"capitulos.txt"});
  // Entries found by two masks come twice.
  EXPECT_EQ(listEntries("livro|*.txt", attr::archive).size(), 3u);
  EXPECT_TRUE(listEntries("nada", attr::archive).empty());
}

TEST_F(Listing, NamesOnDiskAreShownInWindows1252AndFoundAgain) {
  file("\xC3\x81" "baco.txt");     // Ábaco.txt in UTF-8
  file("\xE9" "tude.txt");         // étude.txt in Latin-1 bytes
  file("\xE6\x97\xA5\xE6\x9C\xAC.txt");   // 日本.txt
  file("10 - b.txt");
  file("9 - a.txt");
  std::vector<TMySearchRec> entries = listEntries("*.txt", attr::archive);
  sortEntries(entries, SortKind::byName);
  EXPECT_EQ(names(entries), (std::vector<std::string>{"9 - a.txt", "10 - b.txt", "??.txt",
                                                      "\xC1" "baco.txt", "\xE9" "tude.txt"}));
  for (const TMySearchRec& e : entries) {
    EXPECT_TRUE(fs::exists(dir / e.diskName)) << e.name;
    EXPECT_EQ(diskPath(e.name), e.diskName);
    EXPECT_EQ(e.shortName, e.name);
  }
  EXPECT_EQ(diskPath((dir.string() + "/\xC1" "baco.txt")), (dir / "\xC3\x81" "baco.txt").string());
  // A new name is written in UTF-8.
  EXPECT_EQ(diskPath("n\xE3o.txt"), "n\xC3\xA3o.txt");
}

TEST_F(Listing, VowelMaskListsTheAccentedForms) {
  for (const char* n : {"a1", "\xC3\xA1" "2", "\xC3\xA0" "3", "\xC3\xA3" "4", "\xC3\xA2" "5",
                        "\xC3\xA4" "6", "\xC3\x81" "7", "b8", "e9"})
    file(n);
  EXPECT_EQ(sortedNames(listEntries("a", attr::archive)),
            (std::vector<std::string>{"a1", "\xC1" "7", "\xE0" "3", "\xE1" "2", "\xE2" "5",
                                      "\xE3" "4", "\xE4" "6"}));
  file("\xC3\x89" "xito");   // Éxito: the capital form of the list
  file("\xC3\xA9" "poca");   // época: found by É, case ignored
  EXPECT_EQ(listEntries("E", attr::archive).size(), 3u);
}

TEST_F(Listing, FileDetailsComeFromTheDisk) {
  file("grande.txt", 1234);
  std::vector<TMySearchRec> entries = listEntries("grande", attr::archive);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].size, 1234);
  EXPECT_EQ(entries[0].attr & attr::archive, attr::archive);
  int year = 1980 + ((static_cast<uint32_t>(entries[0].time) >> 25) & 0x7F);
  EXPECT_GE(year, 2024);
}

}  // namespace
}  // namespace varlo
