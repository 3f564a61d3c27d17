// Stored ZIP archives as an EPUB needs them, read back by Python's zipfile:
// every CRC right, the entries in order and uncompressed, the first one's
// name and contents at the fixed offsets reading systems look at.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "base/zip_store.h"

namespace varlo {
namespace {

namespace fs = std::filesystem;

class ZipStoreArchive : public ::testing::Test {
 protected:
  fs::path dir;
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "varlo-zip-XXXXXX").string();
    dir = mkdtemp(pattern.data());
  }
  void TearDown() override { fs::remove_all(dir); }
};

TEST(ZipStoreCrc, KnownCheckValueAndContinuation) {
  EXPECT_EQ(crc32Of("123456789", 9), 0xCBF43926u);
  EXPECT_EQ(crc32Of("6789", 4, crc32Of("12345", 5)), 0xCBF43926u);
}

TEST_F(ZipStoreArchive, EntriesReadBackWholeAndInOrder) {
  // More than one copy block of bytes that are not text, and an empty file.
  std::string big(200000, '\0');
  std::mt19937 random(7);
  for (char& c : big) c = char(random());
  std::ofstream(dir / "big.bin", std::ios::binary) << big;
  std::ofstream(dir / "empty.bin", std::ios::binary);
  std::string archive = (dir / "a.epub").string();
  ZipStore zip;
  ASSERT_TRUE(openZipStore(zip, archive));
  EXPECT_TRUE(addZipText(zip, "mimetype", "application/epub+zip"));
  EXPECT_TRUE(addZipFile(zip, "EPUB/big.bin", (dir / "big.bin").string()));
  EXPECT_TRUE(addZipFile(zip, "EPUB/empty.bin", (dir / "empty.bin").string()));
  ASSERT_TRUE(closeZipStore(zip));

  std::ifstream in(archive, std::ios::binary);
  std::string head(58, '\0');
  in.read(head.data(), head.size());
  EXPECT_EQ(head.substr(30, 28), "mimetypeapplication/epub+zip");

  std::string check =
      "python3 -c \"import sys, zipfile\n"
      "z = zipfile.ZipFile(sys.argv[1])\n"
      "assert z.testzip() is None\n"
      "assert [i.filename for i in z.infolist()] == ['mimetype', 'EPUB/big.bin', 'EPUB/empty.bin']\n"
      "assert all(i.compress_type == zipfile.ZIP_STORED and not i.extra for i in z.infolist())\n"
      "assert z.read('EPUB/big.bin') == open(sys.argv[2], 'rb').read()\n"
      "assert z.read('EPUB/empty.bin') == b''\" '" +
      archive + "' '" + (dir / "big.bin").string() + "'";
  EXPECT_EQ(std::system(check.c_str()), 0);
}

// A file that cannot be read fails the archive, never left looking whole.
TEST_F(ZipStoreArchive, AMissingFileFailsTheArchive) {
  ZipStore zip;
  ASSERT_TRUE(openZipStore(zip, (dir / "b.zip").string()));
  EXPECT_TRUE(addZipText(zip, "mimetype", "x"));
  EXPECT_FALSE(addZipFile(zip, "missing", (dir / "missing").string()));
  EXPECT_FALSE(addZipText(zip, "later", "y"));
  EXPECT_FALSE(closeZipStore(zip));
}

}  // namespace
}  // namespace varlo
