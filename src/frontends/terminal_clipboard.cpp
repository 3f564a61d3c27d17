// OSC 52 and the desktop clipboard tools for the terminal front end.
#include "frontends/terminal_clipboard.h"

#include <cstdint>
#include <optional>

#include "base/codepage.h"
#include "platform/system_clipboard.h"

namespace varlo {

namespace {

std::string base64(std::string_view bytes) {
  static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t group = static_cast<uint8_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) group |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) group |= static_cast<uint8_t>(bytes[i + 2]);
    out += digits[(group >> 18) & 63];
    out += digits[(group >> 12) & 63];
    out += i + 1 < bytes.size() ? digits[(group >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? digits[group & 63] : '=';
  }
  return out;
}

}  // namespace

std::string clipboardSequence(std::string_view utf8) { return "\x1b]52;c;" + base64(utf8) + "\a"; }

void copyOutOfTerminal(std::string_view text, void (*write)(const std::string&)) {
  std::string utf8 = cp1252ToUtf8(text);
  if (write) write(clipboardSequence(utf8));
  copyToSystemClipboard(utf8);
}

bool pasteIntoTerminal(std::string& text, size_t limit) {
  // A UTF-8 character takes up to four bytes for one byte here.
  std::optional<std::string> utf8 = pasteFromSystemClipboard(limit * 4);
  if (!utf8) return false;
  text = utf8ToCp1252(*utf8).substr(0, limit);
  return true;
}

}  // namespace varlo
