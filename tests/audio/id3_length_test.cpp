// Mending the ID3v2 length frame in place: the value, the frames around it,
// the tag's size, and the tags it must leave alone.
#include "sound/id3_length.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace varlo {
namespace {

struct Frame {
  std::string id, content;
};

// A tag of `version` (3 or 4) with the frames and `padding` zero bytes.
std::vector<uint8_t> makeTag(int version, const std::vector<Frame>& frames, size_t padding) {
  std::vector<uint8_t> body;
  for (const Frame& f : frames) {
    uint32_t n = uint32_t(f.content.size());
    body.insert(body.end(), f.id.begin(), f.id.end());
    for (int shift : {24, 16, 8, 0})
      body.push_back(version == 4 ? uint8_t((n >> (shift / 8 * 7)) & 0x7F) : uint8_t(n >> shift));
    body.insert(body.end(), {0, 0});
    body.insert(body.end(), f.content.begin(), f.content.end());
  }
  body.resize(body.size() + padding, 0);
  uint32_t size = uint32_t(body.size());
  std::vector<uint8_t> tag = {'I', 'D', '3', uint8_t(version), 0, 0, uint8_t((size >> 21) & 0x7F),
                              uint8_t((size >> 14) & 0x7F), uint8_t((size >> 7) & 0x7F),
                              uint8_t(size & 0x7F)};
  tag.insert(tag.end(), body.begin(), body.end());
  return tag;
}

std::string text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

const std::string kUnknown = std::string(1, '\0') + "4294967295";

TEST(Id3Length, MendsTheFrameAndKeepsTheOthersAndTheTagSize) {
  for (int version : {3, 4}) {
    SCOPED_TRACE(version);
    auto tag = makeTag(version, {{"TIT2", std::string(1, '\0') + "Parte 1"}, {"TLEN", kUnknown},
                                 {"TRCK", std::string(1, '\0') + "3"}}, 20);
    size_t size = tag.size();
    ASSERT_TRUE(setTagLength(tag, 61250));
    EXPECT_EQ(tag.size(), size);
    auto expected = makeTag(version, {{"TIT2", std::string(1, '\0') + "Parte 1"},
                                      {"TLEN", std::string(1, '\0') + "61250"},
                                      {"TRCK", std::string(1, '\0') + "3"}}, 25);
    EXPECT_EQ(text(tag), text(expected));
  }
}

TEST(Id3Length, LeavesAloneWhatItCannotMend) {
  auto noLength = makeTag(3, {{"TIT2", std::string(1, '\0') + "Parte"}}, 10);
  auto damaged = makeTag(3, {{"TLEN", kUnknown}}, 0);
  damaged[17] = 0x7F;   // the frame claims more than the tag holds
  auto footer = makeTag(4, {{"TLEN", kUnknown}}, 0);
  footer[5] = 0x10;
  auto tooLong = makeTag(3, {{"TLEN", std::string(1, '\0') + "99"}}, 0);
  auto cut = makeTag(3, {{"TLEN", kUnknown}}, 0);
  cut.resize(cut.size() - 3);
  for (auto* tag : {&noLength, &damaged, &footer, &tooLong, &cut}) {
    auto before = *tag;
    EXPECT_FALSE(setTagLength(*tag, 123456));
    EXPECT_EQ(text(*tag), text(before));
  }
}

TEST(Id3Length, MendsAFileWithoutTouchingItsAudio) {
  char path[] = "/tmp/id3-length-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  auto tag = makeTag(3, {{"TLEN", kUnknown}}, 4);
  std::string audio = "\xFF\xFB\x90\x64 frames";
  {
    std::ofstream out(path, std::ios::binary);
    out << text(tag) << audio;
  }
  EXPECT_EQ(fileTagLength(path), 4294967295u);
  EXPECT_TRUE(setFileTagLength(path, 1500));
  EXPECT_EQ(fileTagLength(path), 1500u);
  std::ifstream in(path, std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(all, text(makeTag(3, {{"TLEN", std::string(1, '\0') + "1500"}}, 10)) + audio);
  EXPECT_FALSE(setFileTagLength(std::string(path) + "-missing", 1500));
  EXPECT_EQ(fileTagLength(std::string(path) + "-missing"), 0u);
  std::remove(path);
}

}  // namespace
}  // namespace varlo
