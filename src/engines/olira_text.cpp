// Olira character classes, Windows ANSI case folding with the accented
// letters, and reading a data file as Windows-1252.
#include "engines/olira_text.h"

#include <fstream>
#include <sstream>

#include "base/codepage.h"

namespace varlo {

namespace {

// Accented letters of the voice, upper case; their lower case is 32 above.
bool isAccentedUpper(unsigned char c) {
  switch (c) {
    case 0xC0: case 0xC1: case 0xC2: case 0xC3: case 0xC7: case 0xC9:
    case 0xCA: case 0xCC: case 0xCD: case 0xD1: case 0xD3: case 0xD4:
    case 0xD5: case 0xD9: case 0xDA: case 0xDC:
      return true;
    default:
      return false;
  }
}

bool isAccented(unsigned char c) {
  return isAccentedUpper(c) || (c >= 0xE0 && isAccentedUpper(c - 32));
}

}  // namespace

bool isAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }

bool isOliraLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || isAccented(c);
}

bool isOliraConsonant(unsigned char c) {
  unsigned char u = upperAnsi(c);
  if (u == 0xC7 || u == 0xD1) return true;
  return u >= 'B' && u <= 'Z' && u != 'E' && u != 'I' && u != 'O' && u != 'U';
}

bool isOliraVowel(unsigned char c) {
  unsigned char u = upperAnsi(c);
  if (u == 'A' || u == 'E' || u == 'I' || u == 'O' || u == 'U') return true;
  return isAccented(u) && u != 0xC7 && u != 0xD1;
}

unsigned char upperAnsi(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
  }
}

unsigned char lowerAnsi(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
  }
}

std::string upperAnsi(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = char(upperAnsi((unsigned char)c));
  return out;
}

std::string lowerAnsi(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = char(lowerAnsi((unsigned char)c));
  return out;
}

bool readDataFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  text = textFromFile(bytes.str());
  return true;
}

}  // namespace varlo
