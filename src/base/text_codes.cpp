// Percent, Base64 (through OpenSSL) and quoted-printable encodings.
#include "base/text_codes.h"

#include <openssl/evp.h>

#include <cstdint>

namespace varlo {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The byte of the two hex digits at text[at], or -1.
int hexByteAt(std::string_view text, size_t at) {
  if (at + 1 >= text.size()) return -1;
  int high = hexValue(text[at]), low = hexValue(text[at + 1]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

std::string escaped(char prefix, uint8_t byte) {
  return {prefix, kHex[byte >> 4], kHex[byte & 15]};
}

bool isUnreserved(uint8_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

}  // namespace

std::string percentEncode(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    if (isUnreserved(uint8_t(c))) out += c;
    else out += escaped('%', uint8_t(c));
  }
  return out;
}

std::string percentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    int byte = text[i] == '%' ? hexByteAt(text, i + 1) : -1;
    if (byte < 0) {
      out += text[i];
    } else {
      out += char(byte);
      i += 2;
    }
  }
  return out;
}

std::string base64Encode(std::string_view bytes) {
  std::string out(4 * ((bytes.size() + 2) / 3), '\0');
  // EVP_EncodeBlock takes an int length: encode in slices a multiple of 3.
  constexpr size_t kSlice = 3 << 20;
  size_t written = 0;
  for (size_t at = 0; at < bytes.size(); at += kSlice) {
    size_t n = std::min(kSlice, bytes.size() - at);
    written += size_t(EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data() + written),
                                      reinterpret_cast<const unsigned char*>(bytes.data() + at),
                                      int(n)));
  }
  out.resize(written);
  return out;
}

std::optional<std::string> base64Decode(std::string_view text) {
  EVP_ENCODE_CTX* ctx = EVP_ENCODE_CTX_new();
  if (!ctx) return std::nullopt;
  EVP_DecodeInit(ctx);
  std::string out(text.size() / 4 * 3 + 3, '\0');
  size_t written = 0;
  bool ok = true;
  constexpr size_t kSlice = 1 << 20;
  for (size_t at = 0; ok && at < text.size(); at += kSlice) {
    size_t n = std::min(kSlice, text.size() - at);
    int got = 0;
    ok = EVP_DecodeUpdate(ctx, reinterpret_cast<unsigned char*>(out.data() + written), &got,
                          reinterpret_cast<const unsigned char*>(text.data() + at), int(n)) >= 0;
    written += size_t(got);
  }
  int last = 0;
  ok = ok && EVP_DecodeFinal(ctx, reinterpret_cast<unsigned char*>(out.data() + written), &last) == 1;
  EVP_ENCODE_CTX_free(ctx);
  if (!ok) return std::nullopt;
  out.resize(written + size_t(last));
  return out;
}

namespace {

constexpr size_t kQpLineLimit = 76;

// One line (without its break) in quoted-printable, soft breaks included.
void encodeQpLine(std::string_view line, std::string& out) {
  size_t column = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    uint8_t c = uint8_t(line[i]);
    bool blank = c == ' ' || c == '\t';
    bool literal = (c >= 33 && c <= 126 && c != '=') || (blank && i + 1 < line.size());
    std::string piece = literal ? std::string(1, char(c)) : escaped('=', c);
    // Room is kept for the "=" of a soft break.
    if (column + piece.size() > kQpLineLimit - 1) {
      out += "=\n";
      column = 0;
    }
    out += piece;
    column += piece.size();
  }
}

// One encoded line (its break and the blanks before it removed) decoded.
void decodeQpLine(std::string_view line, std::string& out) {
  for (size_t i = 0; i < line.size(); ++i) {
    int byte = line[i] == '=' ? hexByteAt(line, i + 1) : -1;
    if (byte < 0) {
      out += line[i];
    } else {
      out += char(byte);
      i += 2;
    }
  }
}

}  // namespace

std::string quotedPrintableEncode(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  size_t start = 0;
  for (;;) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) {
      encodeQpLine(bytes.substr(start), out);
      return out;
    }
    bool crlf = end > start && bytes[end - 1] == '\r';
    encodeQpLine(bytes.substr(start, end - start - (crlf ? 1 : 0)), out);
    out += crlf ? "\r\n" : "\n";
    start = end + 1;
  }
}

std::string quotedPrintableDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    bool broken = end != std::string_view::npos;
    std::string_view line = text.substr(start, broken ? end - start : std::string_view::npos);
    bool crlf = !line.empty() && line.back() == '\r';
    if (crlf) line.remove_suffix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    bool soft = !line.empty() && line.back() == '=';
    if (soft) line.remove_suffix(1);
    decodeQpLine(line, out);
    if (broken && !soft) out += crlf ? "\r\n" : "\n";
    start = broken ? end + 1 : text.size();
  }
  return out;
}

}  // namespace varlo
