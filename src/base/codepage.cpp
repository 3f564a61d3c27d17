// Conversion between Windows-1252, the program's own encoding, and UTF-8,
// and the test that tells a UTF-8 file from a Windows-1252 one.
#include "base/codepage.h"

#include <array>

namespace varlo {

namespace {

// Code points of Windows-1252 bytes 0x80-0x9F; the five undefined ones map
// to themselves as C1 controls so that conversion round-trips.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decode one UTF-8 sequence at text[i]; returns its length, 0 when invalid.
size_t decodeUtf8(std::string_view text, size_t i, char32_t& cp) {
  auto b = static_cast<unsigned char>(text[i]);
  size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (len == 0 || i + len > text.size()) return 0;
  cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
  for (size_t k = 1; k < len; ++k) {
    auto c = static_cast<unsigned char>(text[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

unsigned char toCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
  for (size_t k = 0; k < kHighControls.size(); ++k)
    if (kHighControls[k] == cp) return static_cast<unsigned char>(0x80 + k);
  return '?';
}

}  // namespace

char32_t cp1252CodePoint(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

std::string cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (unsigned char b : text) appendUtf8(out, cp1252CodePoint(b));
  return out;
}

std::string utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    size_t len = decodeUtf8(text, i, cp);
    if (len == 0) {
      out += text[i++];
      continue;
    }
    out += static_cast<char>(toCp1252(cp));
    i += len;
  }
  return out;
}

bool looksLikeUtf8(std::string_view text) {
  Utf8Evidence evidence;
  addUtf8Evidence(evidence, text, true);
  return looksLikeUtf8(evidence);
}

void addUtf8Evidence(Utf8Evidence& e, std::string_view piece, bool last) {
  if (!e.valid) return;
  std::string joined;
  if (!e.carry.empty()) {
    joined = e.carry + std::string(piece);
    piece = joined;
  }
  e.carry.clear();
  for (size_t i = 0; i < piece.size();) {
    char32_t cp = 0;
    size_t len = decodeUtf8(piece, i, cp);
    if (len == 0 && !last && piece.size() - i < 4) {
      e.carry = std::string(piece.substr(i));
      return;
    }
    if (len == 0) {
      e.valid = false;
      return;
    }
    e.multiByte |= len > 1;
    i += len;
  }
}

std::string textFromFile(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return utf8ToCp1252(bytes.substr(3));
  return looksLikeUtf8(bytes) ? utf8ToCp1252(bytes) : std::string(bytes);
}

}  // namespace varlo
