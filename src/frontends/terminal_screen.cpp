// Screen updates for a terminal. Only the changed span of each row is
// written, and colours are sent only when they change.
#include "frontends/terminal_screen.h"

#include "base/codepage.h"
#include "console/colour_scheme.h"

namespace varlo {

namespace {

void appendNumber(std::string& out, int n) { out += std::to_string(n); }

void moveTo(std::string& out, int column, int row) {
  out += "\x1b[";
  appendNumber(out, row + 1);
  out += ';';
  appendNumber(out, column + 1);
  out += 'H';
}

void appendRgb(std::string& out, Rgb c) {
  appendNumber(out, c.r);
  out += ';';
  appendNumber(out, c.g);
  out += ';';
  appendNumber(out, c.b);
}

bool isControl(char32_t cp) { return cp < 32 || (cp >= 0x7F && cp < 0xA0); }

// Cells [first, last] of one row, in runs of equal attribute.
void renderSpan(const ScreenImage& wanted, int row, int first, int last, int& attribute,
                std::string& out) {
  moveTo(out, first, row);
  std::string text;
  for (int c = first; c <= last; ++c) {
    int at = row * kColumns + c;
    if (wanted.attributes[at] != attribute) {
      out += terminalText(text);
      text.clear();
      attribute = wanted.attributes[at];
      out += attributeSequence(wanted.attributes[at]);
    }
    text += static_cast<char>(wanted.chars[at]);
  }
  out += terminalText(text);
}

}  // namespace

std::string attributeSequence(uint8_t attribute) {
  CellColours colours = cellColours(attribute);
  std::string out = "\x1b[0;38;2;";
  appendRgb(out, colours.text);
  out += ";48;2;";
  appendRgb(out, colours.background);
  out += 'm';
  return out;
}

std::string terminalText(std::string_view cp1252) {
  std::string safe(cp1252);
  for (char& c : safe)
    if (isControl(cp1252CodePoint(static_cast<unsigned char>(c)))) c = '?';
  return cp1252ToUtf8(safe);
}

void renderScreenChanges(ScreenImage& shown, const ScreenImage& wanted, bool full,
                         std::string& out) {
  int attribute = -1;   // what the terminal uses now is not known
  for (int row = 0; row < kRows; ++row) {
    int first = -1, last = -1;
    for (int c = 0; c < kColumns; ++c) {
      int at = row * kColumns + c;
      if (full || shown.chars[at] != wanted.chars[at] ||
          shown.attributes[at] != wanted.attributes[at]) {
        if (first < 0) first = c;
        last = c;
      }
    }
    if (first >= 0) renderSpan(wanted, row, first, last, attribute, out);
  }
  shown = wanted;
}

}  // namespace varlo
