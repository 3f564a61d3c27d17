// The string commands: CONCATENA, COPIA, SEPARA, SUBSTITUI and TROCA.
#include <algorithm>

#include "base/plain_text.h"
#include "script/cmd_operands.h"
#include "script/expr.h"
#include "script/interp.h"

namespace varlo {

namespace {

// Characters first..last (1-based, clamped); empty when first > last.
std::string slice(const std::string& text, int64_t first, int64_t last) {
  first = std::max<int64_t>(first, 1);
  last = std::min<int64_t>(last, int64_t(text.size()));
  if (first > last) return std::string();
  return text.substr(size_t(first - 1), size_t(last - first + 1));
}

// Every occurrence of old replaced, trying the starts from the right: a
// window that reaches into text already replaced is tried as well. The text
// left of the window stays in head; the window and what follows it are kept
// reversed in tail, so each step moves one character.
std::string replaceFromRight(const std::string& text, const std::string& old, const std::string& by) {
  size_t n = old.size();
  if (n == 0 || text.size() < n) return text;
  std::string head = text.substr(0, text.size() - n);
  std::string tail(text.rbegin(), text.rbegin() + ptrdiff_t(n));
  for (;;) {
    bool match = tail.size() >= n;
    for (size_t i = 0; match && i < n; ++i) match = tail[tail.size() - 1 - i] == old[i];
    if (match) {
      tail.resize(tail.size() - n);
      tail.append(by.rbegin(), by.rend());
    }
    if (head.empty()) break;
    tail += head.back();
    head.pop_back();
  }
  return std::string(tail.rbegin(), tail.rend());
}

Operand splitText(const std::string& text, const std::string& separator, bool trim) {
  Operand list = newList();
  size_t start = 0;
  for (;;) {
    size_t at = separator.empty() ? std::string::npos : text.find(separator, start);
    std::string_view piece = std::string_view(text).substr(start, at == std::string::npos ? std::string::npos : at - start);
    listAppend(list, stringValue(trim ? trimBlanks(piece) : piece));
    if (at == std::string::npos) return list;
    start = at + separator.size();
  }
}

std::string joinList(const Operand& list, const std::string& separator) {
  std::string out;
  bool first = true;
  for (const Operand& cell : cellsOf(list)) {
    if (!first) out += separator;
    first = false;
    if (!isHole(cell)) appendValueText(out, cell);
  }
  return out;
}

// CONCATENA var LISTA list [separator]
bool concatenateList(const Lvalue& target) {
  scan();
  Operand list = evaluate(1);
  std::string separator;
  bool ok = list.tag == Tag::list;
  if (ok && theToken.kind != tkEnd) ok = readString(separator);
  std::string joined = ok ? joinList(list, separator) : std::string();
  Tag tag = list.tag;
  releaseValue(list);
  if (tag != Tag::list) return failLine("Esperava uma lista para concatenar");
  if (!ok) return false;
  if (!fitsLimits(0, joined.size())) return false;
  return assignLvalue(target, stringValue(std::move(joined)));
}

}  // namespace

bool cmdConcatenate() {
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  if (isWord("LISTA")) return concatenateList(target);
  Operand piece = evaluateAs(Tag::string);
  if (piece.tag != Tag::string) {
    releaseValue(piece);
    return failLine("O comando CONCATENA aplica-se a cadeias");
  }
  bool ok = appendToString(target, textOf(piece), "O comando CONCATENA aplica-se a cadeias");
  releaseValue(piece);
  return ok;
}

bool cmdCopy() {
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  std::string text;
  int32_t first = 0, last = 0;
  if (!readString(text, false) || !readInteger(first, false) || !readInteger(last, false)) {
    return failLine(cp("Operandos inválidos para o comando COPIA"));
  }
  return assignLvalue(target, stringValue(slice(text, first, last)));
}

bool cmdSplit() {
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  std::string text, separator;
  if (!readString(text) || !readString(separator)) return false;
  bool trim = theToken.kind == tkAmpersand;
  if (trim) scan();
  return assignLvalue(target, splitText(text, separator, trim));
}

bool cmdReplace() {
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  Operand current = readLvalue(target);
  Operand old = evaluate(1);
  Operand by = evaluate(1);
  bool strings = current.tag == Tag::string && old.tag == Tag::string && by.tag == Tag::string;
  std::string result = strings ? replaceFromRight(textOf(current), textOf(old), textOf(by)) : std::string();
  releaseValue(current);
  releaseValue(old);
  releaseValue(by);
  if (!strings) return failLine(cp("Esperava três cadeias como argumentos para o comando SUBSTITUI"));
  if (!fitsLimits(0, result.size())) return false;
  return assignLvalue(target, stringValue(std::move(result)));
}

bool cmdExchange() {
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  Operand current = readLvalue(target);
  bool isString = current.tag == Tag::string;
  std::string text = isString ? textOf(current) : std::string();
  releaseValue(current);
  if (!isString) return failLine(cp("A variável especificada não contém uma cadeia"));
  Operand by = evaluate(1);
  bool byString = by.tag == Tag::string;
  std::string insert = byString ? textOf(by) : std::string();
  releaseValue(by);
  if (!byString) return failLine("O terceiro argumento deveria ser a nova cadeia");
  int32_t first = 0, last = 0;
  if (!readInteger(first, false) || !readInteger(last, false)) {
    return failLine("O quarto e quinto argumentos deveriam ser inteiros");
  }
  // Characters first..last give way to the new text; last < first inserts.
  int64_t a = std::clamp<int64_t>(first, 1, int64_t(text.size()) + 1);
  int64_t b = std::clamp<int64_t>(last, a - 1, int64_t(text.size()));
  text.replace(size_t(a - 1), size_t(b - a + 1), insert);
  return assignLvalue(target, stringValue(std::move(text)));
}

}  // namespace varlo
