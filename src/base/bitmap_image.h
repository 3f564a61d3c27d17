// Pictures as the program holds them (rows of 8-bit red, green and blue
// from the top down) and the reading of Windows bitmap files.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace varlo {

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;   // width * height * 3 bytes, top row first
};

// Largest side accepted, so that a damaged header cannot ask for gigabytes.
constexpr int kPictureSideLimit = 16384;
constexpr int64_t kPictureAreaLimit = 16 * 1024 * 1024;

// A bitmap file's bytes: the 40-byte info header, 1, 4, 8, 24 or 32 bits per
// pixel uncompressed (16 bits as 5-5-5), the colour table of the palette
// formats, rows padded to 4 bytes, bottom-up or top-down. False when the
// file is not such a bitmap or is cut short.
bool decodeBitmap(std::string_view bytes, Picture& picture);

}  // namespace varlo
