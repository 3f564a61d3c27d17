#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "shell/project_size.h"

using namespace varlo;
namespace fs = std::filesystem;

namespace {

void writeBytes(const fs::path& path, size_t count) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << std::string(count, 'x');
}

fs::path freshDirectory(const char* name) {
  fs::path dir = fs::temp_directory_path() / (std::string(name) + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

}  // namespace

TEST(ProjectSize, ScalesLikeTheReportSaysIt) {
  EXPECT_EQ(scaleSize(0).value, 0u);
  EXPECT_EQ(scaleSize(65535).unit, "");
  EXPECT_EQ(scaleSize(70000).value, 68u);  // 68 rest 368
  EXPECT_EQ(scaleSize(70000).unit, "K");
  EXPECT_EQ(scaleSize(65536 + 513).value, 65u);  // rest 513 rounds up
  EXPECT_EQ(scaleSize(700ull << 20).value, 700u);
  EXPECT_EQ(scaleSize(700ull << 20).unit, "MB");
  EXPECT_EQ(scaleSize(703ull << 20).value, 703u);
}

TEST(ProjectSize, WalksSubdirectoriesAndSkipsHiddenNames) {
  fs::path dir = freshDirectory("varlo-size");
  writeBytes(dir / "a.txt", 60000);
  writeBytes(dir / "WAVMP3" / "a.mp3", 10000);
  writeBytes(dir / ".git" / "objects", 5000);
  writeBytes(dir / ".hidden", 5000);
  ProjectSize size = measureProject(dir.string());
  EXPECT_EQ(size.bytes, 70000u);
  EXPECT_EQ(size.files, 2);
  EXPECT_EQ(size.subdirectories, 1);
  fs::remove_all(dir);
}

// A link back to the project is counted once, not walked again and again.
TEST(ProjectSize, LinksToADirectoryAlreadyWalkedAreNotEnteredAgain) {
  fs::path dir = freshDirectory("varlo-size-loop");
  writeBytes(dir / "a.txt", 100);
  writeBytes(dir / "livros" / "b.txt", 50);
  fs::create_directory_symlink(".", dir / "laco");
  fs::create_directory_symlink("..", dir / "livros" / "volta");
  ProjectSize size = measureProject(dir.string());
  EXPECT_EQ(size.bytes, 150u);
  EXPECT_EQ(size.files, 2);
  EXPECT_EQ(size.subdirectories, 3);   // livros and the two links, not entered
  fs::remove_all(dir);
}

TEST(ProjectSize, CopiesHiddenFilesOverwritingButNeverIntoItself) {
  fs::path dir = freshDirectory("varlo-copy");
  writeBytes(dir / "src" / "livro.txt", 10);
  writeBytes(dir / "src" / ".notas", 3);
  writeBytes(dir / "src" / "sub" / "b.txt", 4);
  writeBytes(dir / "dst" / "livro.txt", 99);
  ASSERT_TRUE(copyProjectTree((dir / "src").string(), (dir / "dst").string()));
  EXPECT_EQ(fs::file_size(dir / "dst" / "livro.txt"), 10u);
  EXPECT_TRUE(fs::exists(dir / "dst" / ".notas"));
  EXPECT_TRUE(fs::exists(dir / "dst" / "sub" / "b.txt"));
  EXPECT_FALSE(copyProjectTree((dir / "src").string(), (dir / "src" / "copia").string()));
  EXPECT_FALSE(fs::exists(dir / "src" / "copia"));
  fs::remove_all(dir);
}
