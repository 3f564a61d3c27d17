// Reading JPEG files into pictures (libjpeg-turbo).
#pragma once

#include <string_view>

#include "base/bitmap_image.h"

namespace varlo {

// False when the file is missing, is not a JPEG, is cut short or is larger
// than the picture limits.
bool decodeJpegFile(std::string_view path, Picture& picture);

}  // namespace varlo
