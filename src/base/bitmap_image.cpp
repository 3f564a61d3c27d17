// Reading Windows bitmap files into pictures.
#include "base/bitmap_image.h"

#include <cstdlib>

namespace varlo {

namespace {

constexpr size_t kFileHeader = 14;
constexpr uint32_t kInfoHeader = 40;
// The later info headers (V2 to V5) begin as the 40-byte one and add colour
// masks and colour space fields, which an uncompressed picture does not use.
bool knownInfoHeader(uint32_t size) {
  return size == kInfoHeader || size == 52 || size == 56 || size == 108 || size == 124;
}
constexpr uint32_t kUncompressed = 0;

uint32_t le32(std::string_view b, size_t at) {
  auto u = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(b[at + i])); };
  return u(0) | u(1) << 8 | u(2) << 16 | u(3) << 24;
}

uint16_t le16(std::string_view b, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

struct Layout {
  int width, height, bits;
  bool topDown;
  size_t pixels, rowBytes, paletteAt, paletteSize;
};

bool readLayout(std::string_view b, Layout& l) {
  if (b.size() < kFileHeader + kInfoHeader || b[0] != 'B' || b[1] != 'M') return false;
  uint32_t infoHeader = le32(b, 14);
  if (!knownInfoHeader(infoHeader) || le32(b, 30) != kUncompressed) return false;
  if (b.size() < kFileHeader + infoHeader) return false;
  auto width = static_cast<int32_t>(le32(b, 18));
  auto height = static_cast<int32_t>(le32(b, 22));
  l.bits = le16(b, 28);
  if (width <= 0 || width > kPictureSideLimit || height == 0) return false;
  if (height < -kPictureSideLimit || height > kPictureSideLimit) return false;
  if (l.bits != 1 && l.bits != 4 && l.bits != 8 && l.bits != 16 && l.bits != 24 && l.bits != 32)
    return false;
  if (static_cast<int64_t>(width) * std::abs(height) > kPictureAreaLimit) return false;
  l.width = width;
  l.topDown = height < 0;
  l.height = std::abs(height);
  l.pixels = le32(b, 10);
  l.rowBytes = (static_cast<size_t>(l.width) * static_cast<size_t>(l.bits) + 31) / 32 * 4;
  l.paletteAt = kFileHeader + infoHeader;
  uint32_t used = le32(b, 46);
  l.paletteSize = l.bits > 8 ? 0 : used == 0 || used > (1u << l.bits) ? (1u << l.bits) : used;
  if (b.size() < l.paletteAt + l.paletteSize * 4) return false;
  return l.pixels <= b.size() && (b.size() - l.pixels) / l.rowBytes >= static_cast<size_t>(l.height);
}

// The colour of pixel x of a row, in red, green, blue order.
void pixelColour(std::string_view b, const Layout& l, const char* row, int x, uint8_t* out) {
  auto byte = [&](size_t i) { return static_cast<uint8_t>(row[i]); };
  size_t at = static_cast<size_t>(x);
  if (l.bits <= 8) {
    size_t bit = at * static_cast<size_t>(l.bits);
    unsigned index = (byte(bit / 8) >> (8 - l.bits - bit % 8)) & ((1u << l.bits) - 1);
    if (index >= l.paletteSize) index = 0;
    size_t entry = l.paletteAt + index * 4;
    out[0] = static_cast<uint8_t>(b[entry + 2]);
    out[1] = static_cast<uint8_t>(b[entry + 1]);
    out[2] = static_cast<uint8_t>(b[entry]);
  } else if (l.bits == 16) {
    unsigned v = byte(at * 2) | byte(at * 2 + 1) << 8;
    out[0] = static_cast<uint8_t>((v >> 10 & 31) * 255 / 31);
    out[1] = static_cast<uint8_t>((v >> 5 & 31) * 255 / 31);
    out[2] = static_cast<uint8_t>((v & 31) * 255 / 31);
  } else {
    size_t step = static_cast<size_t>(l.bits / 8);
    out[0] = byte(at * step + 2);
    out[1] = byte(at * step + 1);
    out[2] = byte(at * step);
  }
}

}  // namespace

bool decodeBitmap(std::string_view bytes, Picture& picture) {
  Layout l{};
  if (!readLayout(bytes, l)) return false;
  Picture result;
  result.width = l.width;
  result.height = l.height;
  result.rgb.resize(static_cast<size_t>(l.width) * static_cast<size_t>(l.height) * 3);
  for (int y = 0; y < l.height; ++y) {
    int stored = l.topDown ? y : l.height - 1 - y;
    const char* row = bytes.data() + l.pixels + static_cast<size_t>(stored) * l.rowBytes;
    uint8_t* out = result.rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(l.width) * 3;
    for (int x = 0; x < l.width; ++x) pixelColour(bytes, l, row, x, out + x * 3);
  }
  picture = std::move(result);
  return true;
}

}  // namespace varlo
