// Mending an ID3v2.3 or 2.4 tag's length frame without moving the audio.
#include "sound/id3_length.h"

#include <algorithm>
#include <cstdio>

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

}  // namespace

bool setTagLength(std::vector<uint8_t>& tag, uint64_t milliseconds) {
  size_t size = tagSize(tag);
  if (size == 0 || tag.size() < kHeader + size) return false;
  bool safeFrames = tag[3] == 4;
  size_t end = kHeader + size;
  for (size_t at = kHeader; at + kHeader <= end && tag[at] != 0;) {
    size_t frameSize = safeFrames ? syncsafe(&tag[at + 4]) : bigEndian(&tag[at + 4]);
    size_t next = at + kHeader + frameSize;
    if (frameSize > end - at - kHeader) return false;   // a frame past the tag's end
    if (std::equal(tag.begin() + at, tag.begin() + at + 4, "TLEN")) {
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
    at = next;
  }
  return false;
}

bool setFileTagLength(const std::string& path, uint64_t milliseconds) {
  std::FILE* file = std::fopen(path.c_str(), "r+b");
  if (!file) return false;
  std::vector<uint8_t> tag(kHeader);
  bool mended = std::fread(tag.data(), 1, kHeader, file) == kHeader;
  size_t size = mended ? tagSize(tag) : 0;
  if (size > 0) {
    tag.resize(kHeader + size);
    mended = std::fread(tag.data() + kHeader, 1, size, file) == size &&
             setTagLength(tag, milliseconds) && std::fseek(file, 0, SEEK_SET) == 0 &&
             std::fwrite(tag.data(), 1, tag.size(), file) == tag.size();
  } else {
    mended = false;
  }
  return std::fclose(file) == 0 && mended;
}

}  // namespace varlo
