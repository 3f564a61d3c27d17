// Mending an ID3v2.3 or 2.4 tag's length frame without moving the audio.
#include "sound/id3_length.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace varlo {

namespace {

constexpr size_t kHeader = 10;   // of the tag and of every frame

uint32_t syncsafe(const uint8_t* p) {
  return uint32_t(p[0] & 0x7F) << 21 | uint32_t(p[1] & 0x7F) << 14 | uint32_t(p[2] & 0x7F) << 7 |
         uint32_t(p[3] & 0x7F);
}

uint32_t bigEndian(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

void putSize(uint8_t* p, uint32_t size, bool safe) {
  int shift = safe ? 7 : 8;
  uint32_t mask = safe ? 0x7F : 0xFF;
  for (int i = 3; i >= 0; --i, size >>= shift) p[i] = uint8_t(size & mask);
}

// The size the header at the start of `tag` gives its tag (header
// excluded); 0 when it is not a tag this code mends.
size_t tagSize(const std::vector<uint8_t>& tag) {
  if (tag.size() < kHeader || tag[0] != 'I' || tag[1] != 'D' || tag[2] != '3') return 0;
  if (tag[3] != 3 && tag[3] != 4) return 0;
  if (tag[5] & 0xF0) return 0;   // unsynchronised, extended header, experimental, footer
  return syncsafe(&tag[6]);
}

// Where the TLEN frame of the tag starts, with its size; 0 when there is
// none, or the tag is not one this code reads safely.
size_t lengthFrame(const std::vector<uint8_t>& tag, size_t& frameSize) {
  size_t size = tagSize(tag);
  if (size == 0 || tag.size() < kHeader + size) return 0;
  bool safeFrames = tag[3] == 4;
  size_t end = kHeader + size;
  for (size_t at = kHeader; at + kHeader <= end && tag[at] != 0;) {
    frameSize = safeFrames ? syncsafe(&tag[at + 4]) : bigEndian(&tag[at + 4]);
    if (frameSize > end - at - kHeader) return 0;   // a frame past the tag's end
    if (std::equal(tag.begin() + at, tag.begin() + at + 4, "TLEN")) return at;
    at += kHeader + frameSize;
  }
  return 0;
}

// The whole tag at the start of the file; empty when there is none.
std::vector<uint8_t> readTag(std::FILE* file) {
  std::vector<uint8_t> tag(kHeader);
  if (std::fread(tag.data(), 1, kHeader, file) != kHeader) return {};
  size_t size = tagSize(tag);
  if (size == 0) return {};
  tag.resize(kHeader + size);
  if (std::fread(tag.data() + kHeader, 1, size, file) != size) return {};
  return tag;
}

}  // namespace

bool setTagLength(std::vector<uint8_t>& tag, uint64_t milliseconds) {
  size_t frameSize = 0;
  size_t at = lengthFrame(tag, frameSize);
  if (at == 0) return false;
  bool safeFrames = tag[3] == 4;
  size_t end = kHeader + tagSize(tag);
  size_t next = at + kHeader + frameSize;
  // Encoding 0 (ISO-8859-1) and the digits, no longer than what it replaces.
  std::string digits = std::to_string(milliseconds);
  size_t newSize = 1 + digits.size();
  if (newSize > frameSize) return false;
  putSize(&tag[at + 4], uint32_t(newSize), safeFrames);
  tag[at + kHeader] = 0;
  std::copy(digits.begin(), digits.end(), tag.begin() + at + kHeader + 1);
  size_t gap = frameSize - newSize;
  std::copy(tag.begin() + next, tag.begin() + end, tag.begin() + at + kHeader + newSize);
  std::fill(tag.begin() + end - gap, tag.begin() + end, 0);
  return true;
}

uint64_t fileTagLength(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return 0;
  std::vector<uint8_t> tag = readTag(file);
  std::fclose(file);
  size_t frameSize = 0;
  size_t at = lengthFrame(tag, frameSize);
  uint64_t milliseconds = 0;
  // The text after its encoding byte: digits, perhaps ended by a zero.
  for (size_t i = at + kHeader + 1; at > 0 && i < at + kHeader + frameSize; ++i) {
    if (tag[i] < '0' || tag[i] > '9') break;
    milliseconds = milliseconds * 10 + uint64_t(tag[i] - '0');
  }
  return milliseconds;
}

bool setFileTagLength(const std::string& path, uint64_t milliseconds) {
  std::FILE* file = std::fopen(path.c_str(), "r+b");
  if (!file) return false;
  std::vector<uint8_t> tag = readTag(file);
  bool mended = !tag.empty() && setTagLength(tag, milliseconds) &&
                std::fseek(file, 0, SEEK_SET) == 0 &&
                std::fwrite(tag.data(), 1, tag.size(), file) == tag.size();
  return std::fclose(file) == 0 && mended;
}

}  // namespace varlo
