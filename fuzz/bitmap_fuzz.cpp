// Fuzz target: bitmap files of any shape must be read or refused, never
// read past their end.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/bitmap_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  varlo::Picture picture;
  varlo::decodeBitmap(std::string_view(reinterpret_cast<const char*>(data), size), picture);
  return 0;
}
