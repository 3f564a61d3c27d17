// A catalogue's manifest read back as written, refused when cut or edited,
// and the folder names books get.
#include "production/catalogue_manifest.h"

#include <gtest/gtest.h>

#include <string>

namespace varlo {
namespace {

Catalogue sampleCatalogue() {
  Catalogue c{"/livros/acervo", {}};
  CatalogueBook done{"Machado_Dom_Casmurro", "Machado/Dom Casmurro.txt", "0123456789abcdef",
                     "formato=MP3 linhas=100 mp3=--abr 80", BookState::done};
  done.seconds = 4321.5;
  done.files = {{"Machado_Dom_Casmurro_001.mp3", 123456}, {"Machado_Dom_Casmurro_002.mp3", 7}};
  CatalogueBook failed{"b", "b.txt", "", "formato=MP3", BookState::failed, "o arquivo não é um texto"};
  CatalogueBook waiting{"c", "c.txt", "fedcba9876543210", "formato=MP3", BookState::waiting};
  c.books = {done, failed, waiting};
  return c;
}

TEST(CatalogueManifest, ReadsBackWhatItWrote) {
  Catalogue written = sampleCatalogue();
  Catalogue read;
  ASSERT_TRUE(parseManifest(manifestText(written), read));
  EXPECT_EQ(read.origin, written.origin);
  ASSERT_EQ(read.books.size(), 3u);
  const CatalogueBook& b = read.books[0];
  EXPECT_EQ(b.source, "Machado/Dom Casmurro.txt");
  EXPECT_EQ(b.settings, "formato=MP3 linhas=100 mp3=--abr 80");
  EXPECT_EQ(b.state, BookState::done);
  EXPECT_DOUBLE_EQ(b.seconds, 4321.5);
  ASSERT_EQ(b.files.size(), 2u);
  EXPECT_EQ(b.files[1].name, "Machado_Dom_Casmurro_002.mp3");
  EXPECT_EQ(b.files[0].size, 123456u);
  EXPECT_EQ(read.books[1].state, BookState::failed);
  EXPECT_EQ(read.books[1].reason, "o arquivo não é um texto");
  EXPECT_EQ(read.books[2].state, BookState::waiting);
  EXPECT_EQ(read.books[2].checksum, "fedcba9876543210");
}

TEST(CatalogueManifest, RefusesACutOrEditedManifest) {
  std::string text = manifestText(sampleCatalogue());
  Catalogue read;
  // Cut anywhere: at a line's end, inside a line, before the closing line.
  for (size_t keep : {text.size() - 1, text.size() / 2, text.rfind("fim")})
    EXPECT_FALSE(parseManifest(text.substr(0, keep), read)) << keep;
  // One state changed by hand, the manifest still well formed.
  std::string edited = text;
  edited.replace(edited.find("estado esperando"), 16, "estado feito");
  EXPECT_FALSE(parseManifest(edited, read));
  EXPECT_FALSE(parseManifest("", read));
  EXPECT_FALSE(parseManifest("fim 0 " + bytesChecksum("") + "\n", read));
}

TEST(CatalogueManifest, AValueOnManyLinesStaysOnOne) {
  Catalogue c = sampleCatalogue();
  c.books[1].reason = "primeira\nestado feito";
  Catalogue read;
  ASSERT_TRUE(parseManifest(manifestText(c), read));
  EXPECT_EQ(read.books[1].state, BookState::failed);
  EXPECT_EQ(read.books[1].reason, "primeira estado feito");
}

TEST(CatalogueFolders, AreSafeNamesThatKeepAccents) {
  EXPECT_EQ(bookFolderName("Machado/Dom Casmurro.txt"), "Machado_Dom_Casmurro");
  EXPECT_EQ(bookFolderName("Memórias póstumas.TXT"), "Memórias_póstumas");
  EXPECT_EQ(bookFolderName(".oculto.txt"), "_oculto");
  EXPECT_EQ(bookFolderName("a$(rm -rf x).txt"), "a__rm_-rf_x_");
  EXPECT_EQ(bookFolderName("v1.2/livro"), "v1.2_livro");
  EXPECT_TRUE(sameFolderName(bookFolderName("Meu Livro.txt"), bookFolderName("meu_livro.txt")));
  EXPECT_FALSE(sameFolderName("livro_1", "livro_2"));
}

TEST(CatalogueChecksum, ChangesWithTheText) {
  EXPECT_EQ(bytesChecksum("").size(), 16u);
  EXPECT_NE(bytesChecksum("Capítulo 1"), bytesChecksum("Capítulo 2"));
  EXPECT_EQ(fileChecksum("/nao/existe"), "");
}

}  // namespace
}  // namespace varlo
