// Built-in functions on strings: CHR, ORD, MAIUSC, PALAVRA, POS and TRIM.
#include "speech/speech.h"
#include "script/interp.h"

namespace varlo {

namespace {

bool isWordGap(char c) { return c == ' ' || c == '\t'; }
bool isBlankOrControl(char c) { return uint8_t(c) <= ' '; }

// Words counted from 1, separated by runs of blanks and tabs.
bool nthWord(const std::string& text, int32_t n, std::string& word) {
  size_t i = 0;
  for (int32_t count = 1; i < text.size(); ++count) {
    while (i < text.size() && isWordGap(text[i])) ++i;
    if (i == text.size()) return false;
    size_t start = i;
    while (i < text.size() && !isWordGap(text[i])) ++i;
    if (count == n) {
      word = text.substr(start, i - start);
      return true;
    }
  }
  return false;
}

}  // namespace

bool fnChr(const SymtbEntry&) {
  Operand n = toInteger(argument(1));
  bool ok = n.tag == Tag::integer && n.first >= 0 && n.first <= 255;
  if (ok) setResult(stringValue(std::string(1, char(n.first))));
  releaseValue(n);
  return true;
}

bool fnOrd(const SymtbEntry&) {
  const Operand& s = argument(1);
  if (s.tag == Tag::string && !textOf(s).empty()) setResult(integerValue(uint8_t(textOf(s)[0])));
  return true;
}

bool fnUpper(const SymtbEntry&) {
  Operand text = toStringValue(argument(1));
  if (text.tag != Tag::string) return false;
  textOf(text) = upperText(textOf(text));
  setResult(std::move(text));
  return true;
}

bool fnWord(const SymtbEntry&) {
  const Operand& n = argument(1);
  const Operand& s = argument(2);
  if (n.tag != Tag::integer || s.tag != Tag::string) return false;
  std::string word;
  if (n.first >= 1 && nthWord(textOf(s), n.first, word)) setResult(stringValue(std::move(word)));
  return true;
}

bool fnPos(const SymtbEntry&) {
  const Operand& a = argument(1);
  const Operand& b = argument(2);
  if (b.tag == Tag::list) {
    setResult(integerValue(listIndexOf(b, 0, a)));
    return true;
  }
  Operand needle = toStringValue(a);
  bool ok = needle.tag == Tag::string && b.tag == Tag::string;
  if (ok) {
    const std::string& text = textOf(needle);
    size_t at = text.empty() ? std::string::npos : textOf(b).find(text);
    setResult(integerValue(at == std::string::npos ? 0 : int32_t(at + 1)));
  }
  releaseValue(needle);
  return ok;
}

bool fnTrim(const SymtbEntry&) {
  Operand text = toStringValue(argument(1));
  if (text.tag != Tag::string) return false;
  std::string& t = textOf(text);
  size_t a = 0, b = t.size();
  while (a < b && isBlankOrControl(t[a])) ++a;
  while (b > a && isBlankOrControl(t[b - 1])) --b;
  setResult(stringValue(t.substr(a, b - a)));
  releaseValue(text);
  return true;
}

}  // namespace varlo
