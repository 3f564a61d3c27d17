// The background picture's state; the window front end draws it.
#include "console/background_image.h"

#include <fstream>
#include <iterator>
#include <string>

#include "console/console_core.h"

namespace varlo {

namespace {

// A bitmap file larger than this cannot hold a picture within the limits.
constexpr std::streamoff kFileLimit = 256 * 1024 * 1024;

struct Background {
  bool shown = false;
  Picture picture;
  int x = 0, y = 0;
  unsigned version = 0;
} background;

bool readFile(std::string_view path, std::string& bytes) {
  std::ifstream in{std::string(path), std::ios::binary};
  if (!in) return false;
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  if (size < 0 || size > kFileLimit) return false;
  in.seekg(0);
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
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
