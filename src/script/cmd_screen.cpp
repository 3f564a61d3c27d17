// COR, FUNDO, CURSOR and TELA: colours, the cursor and the console window.
#include "base/plain_text.h"
#include "console/console.h"
#include "script/cmd_operands.h"
#include "script/expr.h"
#include "script/interp.h"

namespace varlo {

namespace {

bool readColour(int32_t& index, const char* message) {
  if (theToken.kind == tkEnd || !readInteger(index, false) || index < 0 || index > 15) {
    return failLine(cp(message));
  }
  return true;
}

// Two variables, each given an integer.
bool storePair(int32_t first, int32_t second, const char* message) {
  Lvalue a, b;
  if (theToken.kind == tkIdentifier) a = parseLvalue();
  if (a.valid() && theToken.kind == tkComma) scan();
  if (a.valid() && theToken.kind == tkIdentifier) b = parseLvalue();
  if (!b.valid()) return failLine(cp(message));
  return assignLvalue(a, integerValue(first)) && assignLvalue(b, integerValue(second));
}

}  // namespace

bool cmdColour() {
  int32_t index = 0;
  if (!readColour(index, "Esperava o número da COR")) return false;
  setTextColor(index);
  return true;
}

bool cmdBackground() {
  int32_t index = 0;
  if (!readColour(index, "Esperava o número da COR DE FUNDO")) return false;
  setBackgroundColor(index);
  return true;
}

// CURSOR x y | CURSOR CAPTURA vx vy
bool cmdCursor() {
  if (isWord("CAPTURA")) {
    scan();
    return storePair(cursorColumn(), cursorRow(), "Esperava valores inteiros para x e y");
  }
  int32_t x = 0, y = 0;
  bool ok = theToken.kind != tkEnd && readInteger(x, false);
  if (ok && theToken.kind == tkComma) scan();
  ok = ok && theToken.kind != tkEnd && readInteger(y, false);
  if (!ok) return failLine(cp("Esperava valores inteiros para x e y"));
  moveCursor(x, y);
  return true;
}

namespace {

std::string coordinateMessage(char axis) {
  return cp("Esperava um valor numérico para a coordenada ") + axis + " no comando TELA";
}

// A coordinate operand that is an integer expression.
bool readCoordinate(int32_t& out, char axis) {
  if (theToken.kind != tkEnd && readInteger(out, false)) return true;
  return failLine(coordinateMessage(axis));
}

// The X written against the at sign ("@10", "@COLUNA"): a number or a
// variable's value; a bare "@" is followed by any integer expression.
bool readAtColumn(int32_t& x) {
  std::string rest(theToken.text.substr(1));
  scan();
  if (rest.empty()) return readCoordinate(x, 'X');
  if (parseInteger(rest, x)) return true;
  SymtbEntry* entry = findOrCreate(theInterp.currentScript, theInterp.currentFunction, rest, false);
  if (!entry && theInterp.currentFunction) entry = findOrCreate(theInterp.currentScript, nullptr, rest, false);
  if (entry && entry->kind == skVariable) {
    Operand v = readVariable(*entry);
    Operand n = toInteger(v);
    bool ok = n.tag == Tag::integer;
    if (ok) x = n.first;
    releaseValue(v);
    releaseValue(n);
    if (ok) return true;
  }
  return failLine(coordinateMessage('X'));
}

bool placeCursorAt(int32_t x) {
  int32_t y = 0;
  if (theToken.kind == tkComma) scan();
  if (!readCoordinate(y, 'Y')) return false;
  moveCursor(x, y);
  return true;
}

// "@x, y" given inside a string.
bool placeCursorFromText(std::string_view text) {
  size_t comma = text.find(',');
  int32_t x = 0, y = 0;
  if (comma == std::string_view::npos || !parseInteger(trimBlanks(text.substr(1, comma - 1)), x)) {
    return failLine(coordinateMessage('X'));
  }
  if (!parseInteger(trimBlanks(text.substr(comma + 1)), y)) return failLine(coordinateMessage('Y'));
  moveCursor(x, y);
  return true;
}

// Rows first..last of the text window blanked in the current attribute.
bool clearRows() {
  if (theToken.kind == tkEnd) {
    clearWindow();
    return true;
  }
  int32_t first = 0, last = 0;
  if (!readCoordinate(first, 'Y')) return false;
  if (theToken.kind == tkComma) scan();
  if (!readCoordinate(last, 'Y')) return false;
  TextWindow w = textWindow();
  int height = w.bottom - w.top + 1;
  first = std::max(first, 1);
  last = std::min(last, height);
  for (int row = first; row <= last; ++row) {
    moveCursor(1, row);
    clearToLineEnd();
  }
  if (first <= last) moveCursor(1, first);
  return true;
}

// CARACTERE / ATRIBUTO x y var
bool readScreenCell(bool attribute) {
  int32_t x = 0, y = 0;
  if (!readCoordinate(x, 'X')) return false;
  if (theToken.kind == tkComma) scan();
  if (!readCoordinate(y, 'Y')) return false;
  if (theToken.kind == tkComma) scan();
  Lvalue target;
  if (theToken.kind == tkIdentifier) target = parseLvalue();
  if (!target.valid()) return failLine(cp("Esperava uma variável"));
  TextWindow w = textWindow();
  bool inside = x >= 1 && y >= 1 && x <= w.right - w.left + 1 && y <= w.bottom - w.top + 1;
  if (!inside) return assignLvalue(target, undefinedValue());
  if (attribute) return assignLvalue(target, integerValue(screenAttribute(x, y)));
  return assignLvalue(target, stringValue(std::string(1, char(screenChar(x, y)))));
}

bool runScreenOption(const std::string& option) {
  if (option == "LIMPA") return clearRows();
  // Only the window front end can hide itself; the others ignore it.
  if (option == "MINIMIZADA" || option == "NORMAL") {
    setWindowMinimized(option == "MINIMIZADA");
    return true;
  }
  if (option == "TAMANHO") {
    TextWindow w = textWindow();
    return storePair(w.right - w.left + 1, w.bottom - w.top + 1, "Esperava duas variáveis");
  }
  if (option == "CARACTERE") return readScreenCell(false);
  if (option == "ATRIBUTO") return readScreenCell(true);
  if (!option.empty() && option[0] == '@') return placeCursorFromText(option);
  return failLine(cp("Modificadores inválidos para o comando TELA"));
}

bool isScreenWord() {
  for (const char* word : {"LIMPA", "MINIMIZADA", "NORMAL", "TAMANHO", "CARACTERE", "ATRIBUTO"}) {
    if (isWord(word)) return true;
  }
  return false;
}

}  // namespace

bool cmdScreen() {
  if (theToken.kind == tkLabel) {
    int32_t x = 0;
    return readAtColumn(x) && placeCursorAt(x);
  }
  std::string option;
  if (isScreenWord()) {
    option = std::string(theToken.text);
    scan();
  } else if (theToken.kind == tkEnd || !readString(option, false)) {
    return failLine(cp("Modificadores inválidos para o comando TELA"));
  } else {
    option = fold(trimBlanks(option));
  }
  return runScreenOption(option);
}

}  // namespace varlo
