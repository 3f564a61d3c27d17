// Bitmap files: the pixel formats, padded rows, both row orders, and the
// damaged files that must be refused rather than read past their end.
#include "base/bitmap_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace varlo {
namespace {

void put32(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

// A bitmap file: headers, the palette given (B, G, R, 0 each) and rows.
// The info header's fields past the first 40 bytes stay zero.
std::string bitmap(int width, int height, int bits, const std::vector<uint32_t>& palette,
                   const std::string& pixels, uint32_t infoSize = 40) {
  std::string b(14 + std::max<size_t>(infoSize, 40), '\0');
  b[0] = 'B';
  b[1] = 'M';
  size_t offset = b.size() + palette.size() * 4;
  put32(b, 2, static_cast<uint32_t>(offset + pixels.size()));
  put32(b, 10, static_cast<uint32_t>(offset));
  put32(b, 14, infoSize);
  put32(b, 18, static_cast<uint32_t>(width));
  put32(b, 22, static_cast<uint32_t>(height));
  b[26] = 1;
  b[28] = static_cast<char>(bits);
  put32(b, 46, static_cast<uint32_t>(palette.size()));
  for (uint32_t colour : palette) {
    std::string entry(4, '\0');
    put32(entry, 0, colour);
    b += entry;
  }
  return b + pixels;
}

std::string rgbAt(const Picture& p, int x, int y) {
  size_t at = (static_cast<size_t>(y) * p.width + x) * 3;
  return std::to_string(p.rgb[at]) + "," + std::to_string(p.rgb[at + 1]) + "," + std::to_string(p.rgb[at + 2]);
}

TEST(BitmapFile, TrueColourRowsArePaddedAndStoredBottomUp) {
  // 3 x 2 pixels, 24 bits: 9 bytes of pixels and 3 of padding a row.
  std::string bottom = std::string("\x00\x00\xFF" "\x00\xFF\x00" "\xFF\x00\x00", 9) + std::string(3, '\x77');
  std::string top = std::string("\xFF\xFF\xFF" "\x00\x00\x00" "\x10\x20\x30", 9) + std::string(3, '\x77');
  Picture p;
  ASSERT_TRUE(decodeBitmap(bitmap(3, 2, 24, {}, bottom + top), p));
  EXPECT_EQ(p.width, 3);
  EXPECT_EQ(p.height, 2);
  EXPECT_EQ(rgbAt(p, 0, 0), "255,255,255");
  EXPECT_EQ(rgbAt(p, 2, 0), "48,32,16");
  EXPECT_EQ(rgbAt(p, 0, 1), "255,0,0");
  EXPECT_EQ(rgbAt(p, 1, 1), "0,255,0");
  EXPECT_EQ(rgbAt(p, 2, 1), "0,0,255");
  // A negative height stores the top row first.
  ASSERT_TRUE(decodeBitmap(bitmap(3, -2, 24, {}, bottom + top), p));
  EXPECT_EQ(rgbAt(p, 0, 0), "255,0,0");
}

TEST(BitmapFile, PaletteFormatsReadTheirColourTable) {
  std::vector<uint32_t> palette = {0x000000FF, 0x0000FF00};   // blue, green
  Picture p;
  // 8 bits: indexes 1, 0, and an index past the table, which reads as 0.
  ASSERT_TRUE(decodeBitmap(bitmap(3, 1, 8, palette, std::string("\x01\x00\x09\x00", 4)), p));
  EXPECT_EQ(rgbAt(p, 0, 0), "0,255,0");
  EXPECT_EQ(rgbAt(p, 1, 0), "0,0,255");
  EXPECT_EQ(rgbAt(p, 2, 0), "0,0,255");
  // 1 bit: pixels from the high bit down.
  ASSERT_TRUE(decodeBitmap(bitmap(4, 1, 1, palette, std::string("\xA0\x00\x00\x00", 4)), p));
  EXPECT_EQ(rgbAt(p, 0, 0), "0,255,0");
  EXPECT_EQ(rgbAt(p, 1, 0), "0,0,255");
  EXPECT_EQ(rgbAt(p, 2, 0), "0,255,0");
  // 4 bits.
  ASSERT_TRUE(decodeBitmap(bitmap(2, 1, 4, palette, std::string("\x10\x00\x00\x00", 4)), p));
  EXPECT_EQ(rgbAt(p, 0, 0), "0,255,0");
  EXPECT_EQ(rgbAt(p, 1, 0), "0,0,255");
}

// What ImageMagick and others write: the V4 and V5 info headers.
TEST(BitmapFile, NewerInfoHeadersReadLikeTheFirst) {
  std::string row = std::string("\x10\x20\x30", 3) + std::string(1, '\0');
  std::vector<uint32_t> palette = {0x000000FF, 0x0000FF00};
  for (uint32_t size : {108u, 124u}) {
    Picture p;
    ASSERT_TRUE(decodeBitmap(bitmap(1, 1, 24, {}, row, size), p)) << size;
    EXPECT_EQ(rgbAt(p, 0, 0), "48,32,16") << size;
    // The palette follows the longer header.
    ASSERT_TRUE(decodeBitmap(bitmap(2, 1, 8, palette, std::string("\x01\x00\x00\x00", 4), size), p));
    EXPECT_EQ(rgbAt(p, 0, 0), "0,255,0") << size;
    EXPECT_EQ(rgbAt(p, 1, 0), "0,0,255") << size;
  }
}

TEST(BitmapFile, DamagedFilesAreRefusedAndLeaveThePictureAlone) {
  std::string row = std::string("\x00\x00\xFF", 3) + std::string(1, '\0');
  Picture p;
  ASSERT_TRUE(decodeBitmap(bitmap(1, 1, 24, {}, row), p));
  EXPECT_FALSE(decodeBitmap(bitmap(1, 1, 24, {}, row, 12), p)) << "an old 12-byte header";
  EXPECT_FALSE(decodeBitmap(bitmap(0, 1, 24, {}, row), p)) << "no width";
  EXPECT_FALSE(decodeBitmap(bitmap(60000, 1, 24, {}, row), p)) << "60 000 pixels wide";
  EXPECT_FALSE(decodeBitmap(bitmap(1, 3, 24, {}, row), p)) << "rows missing";
  EXPECT_FALSE(decodeBitmap(bitmap(1, 1, 7, {}, row), p)) << "no such depth";
  std::string compressed = bitmap(1, 1, 8, {0}, row);
  compressed[30] = 1;
  EXPECT_FALSE(decodeBitmap(compressed, p)) << "run-length compressed";
  std::string lying = bitmap(1, 1, 24, {}, row);
  put32(lying, 10, 0xFFFFFFF0);
  EXPECT_FALSE(decodeBitmap(lying, p)) << "pixels beyond the file";
  EXPECT_FALSE(decodeBitmap("BM", p));
  EXPECT_FALSE(decodeBitmap(std::string(60, 'x'), p));
  EXPECT_EQ(rgbAt(p, 0, 0), "255,0,0") << "the last good picture is kept";
}

}  // namespace
}  // namespace varlo
