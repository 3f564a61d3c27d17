// The background picture's state; the window front end draws it.
#include "console/background_image.h"

#include <cstdio>
#include <string>

#include "base/regular_file.h"
#include "console/console_core.h"

namespace varlo {

namespace {

// A bitmap file larger than this cannot hold a picture within the limits.
constexpr long kFileLimit = 256 * 1024 * 1024;

struct Background {
  bool shown = false;
  Picture picture;
  int x = 0, y = 0;
  unsigned version = 0;
} background;

bool readFile(std::string_view path, std::string& bytes) {
  std::FILE* in = openRegularFile(std::string(path), "rb");
  if (!in) return false;
  long size = std::fseek(in, 0, SEEK_END) == 0 ? std::ftell(in) : -1;
  bool ok = size >= 0 && size <= kFileLimit && std::fseek(in, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(size_t(size));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), in));
    ok = !std::ferror(in);
  }
  std::fclose(in);
  return ok;
}

}  // namespace

bool showBitmap(std::string_view path) {
  std::string bytes;
  Picture picture;
  if (!readFile(path, bytes) || !decodeBitmap(bytes, picture)) return false;
  showPicture(std::move(picture));
  return true;
}

void showPicture(Picture picture) {
  background.picture = std::move(picture);
  background.shown = true;
  background.x = background.y = 0;
  ++background.version;
  frontEnd().refresh();
}

void drawBitmapAt(int x, int y) {
  if (!background.shown) return;
  background.x = x;
  background.y = y;
  frontEnd().refresh();
}

BackgroundImage backgroundImage() {
  return {background.shown ? &background.picture : nullptr, background.x, background.y,
          background.version};
}

}  // namespace varlo
