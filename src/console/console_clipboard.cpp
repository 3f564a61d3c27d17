// The clipboard: the program keeps its own copy, so that what one part
// copies another can paste, and the front end passes copies to the desktop
// and brings the desktop's text back when it has one. Text is cut at its
// first NUL, as a plain-text clipboard holds it.
#include "console/console_core.h"

namespace varlo {

namespace {

struct Clipboard {
  bool holdsText = false;
  std::string text;
} clipboard;

std::string uptoNul(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

}  // namespace

bool copyText(std::string_view text) {
  clipboard.text = uptoNul(text);
  clipboard.holdsText = true;
  if (const FrontEnd& fe = frontEnd(); fe.copyOut) fe.copyOut(clipboard.text);
  return true;
}

bool copyBytes(const uint8_t* bytes, size_t length) {
  if (!bytes && length > 0) return false;
  return copyText(std::string_view(reinterpret_cast<const char*>(bytes), length));
}

// At most bufferSize - 1 bytes, as a buffer that keeps room for the NUL.
std::string pasteText(size_t bufferSize) {
  if (bufferSize == 0) return "";
  std::string desktop;
  if (const FrontEnd& fe = frontEnd(); fe.pasteIn && fe.pasteIn(desktop, bufferSize - 1))
    return uptoNul(desktop).substr(0, bufferSize - 1);
  if (!clipboard.holdsText) return "";
  return clipboard.text.substr(0, bufferSize - 1);
}

}  // namespace varlo
