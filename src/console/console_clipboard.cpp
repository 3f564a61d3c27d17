// The clipboard, kept inside the program: what one part copies another can
// paste. Text is cut at its first NUL, as a plain-text clipboard holds it.
#include "console/console.h"

namespace varlo {

namespace {

struct Clipboard {
  bool holdsText = false;
  std::string text;
} clipboard;

}  // namespace

bool copyText(std::string_view text) {
  clipboard.text = std::string(text.substr(0, text.find('\0')));
  clipboard.holdsText = true;
  return true;
}

bool copyBytes(const uint8_t* bytes, size_t length) {
  if (!bytes && length > 0) return false;
  return copyText(std::string_view(reinterpret_cast<const char*>(bytes), length));
}

// At most bufferSize - 1 bytes, as a buffer that keeps room for the NUL.
std::string pasteText(size_t bufferSize) {
  if (!clipboard.holdsText || bufferSize == 0) return "";
  return clipboard.text.substr(0, bufferSize - 1);
}

}  // namespace varlo
