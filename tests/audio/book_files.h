// What the talking-book tests read back: whole files, the first group of
// every match of a pattern, and a fresh folder for each test.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace varlo::test {

inline std::string readAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::string> allMatches(const std::string& text, const std::string& pattern) {
  std::vector<std::string> out;
  std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
    out.push_back((*it)[1]);
  return out;
}

class BookFolderTest : public ::testing::Test {
 protected:
  std::filesystem::path dir;

  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "varlo-book-XXXXXX").string();
    dir = mkdtemp(pattern.data());
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
};

}  // namespace varlo::test
