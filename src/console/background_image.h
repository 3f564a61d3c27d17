// The picture drawn over the console's text after every repaint (window
// front end only), its position, and the reading of bitmap files for it.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/bitmap_image.h"

namespace varlo {

// Reads a bitmap file and shows it at 0, 0 in place of any previous
// picture; false (the previous picture kept) when it cannot be read.
bool showBitmap(std::string_view path);
// Shows a picture decoded elsewhere (a JPEG file), at 0, 0.
void showPicture(Picture picture);
// Moves the picture to x, y pixels of the window and keeps it there.
void drawBitmapAt(int x, int y);

struct BackgroundImage {
  const Picture* picture;   // null when none is shown
  int x, y;
  unsigned version;         // changes whenever another picture is shown
};
BackgroundImage backgroundImage();

}  // namespace varlo
