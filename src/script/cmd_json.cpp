// Collection of JSON texts: brackets and braces matched outside quoted
// text, line feeds made blanks, then one expression evaluated.
#include "script/cmd_json.h"

#include <algorithm>

#include "script/expr.h"
#include "script/interp.h"
#include "script/lexer.h"
#include "script/symbols.h"

namespace varlo {

namespace {

constexpr size_t kFirstBufferSize = 1024;

char closerOf(char c) { return c == '[' ? ']' : c == '{' ? '}' : 0; }
bool isCloser(char c) { return c == ']' || c == '}'; }

bool nextIsParen() {
  TokenRec here = theToken;
  bool paren = scan() == tkLeftParen;
  theToken = here;
  return paren;
}

struct Collector {
  std::string text;
  std::string open;     // expected closers, innermost last
  char quote = 0;       // delimiter of the quoted text being read
  bool opened = false;  // some bracket was opened

  // False after reporting a closer out of place.
  bool take(char c) {
    if (c == '\n' || c == '\r') c = ' ';
    if (!grow()) return false;
    text += c;
    if (quote) {
      if (c == quote) quote = 0;
      return true;
    }
    if (c == '"' || c == '\'') {
      quote = c;
    } else if (char closer = closerOf(c)) {
      open += closer;
      opened = true;
    } else if (isCloser(c)) {
      if (open.empty()) return fail(std::string("Caractere ") + c + " inesperado");
      if (open.back() != c) return fail(std::string("Esperava ") + open.back() + " em vez de " + c);
      open.pop_back();
    }
    return true;
  }

  // The buffer doubles from 1024 bytes, within the string limit.
  bool grow() {
    if (text.size() < text.capacity()) return true;
    size_t wanted = std::max(kFirstBufferSize, text.capacity() * 2);
    if (!fitsLimits(0, text.size() + 1)) return false;
    text.reserve(std::min(wanted, valueLimits().maxStringBytes));
    return true;
  }

  bool closed() const { return opened && open.empty() && !quote; }

  // A source that ended inside quoted text or an open bracket was cut
  // short: its data is not taken as complete. False after reporting.
  bool complete() const {
    if (quote) return fail("Faltou delimitar o fim da cadeia");
    if (!open.empty()) return fail(std::string("Esperava ") + open.back() + " antes do fim do texto");
    return true;
  }
};

// Data must not run code: a name that would call a function (or reach
// into a module) is refused before anything is evaluated. Other names are
// read as variables, as the words true, false and null are.
bool onlyData() {
  for (scan(); theToken.kind != tkEnd; scan()) {
    if (theToken.kind != tkIdentifier) continue;
    SymtbEntry* e = resolve(theInterp.currentScript, theInterp.currentFunction, theToken.text);
    bool call = e && (e->kind == skBuiltin || e->kind == skFunction || e->kind == skModule);
    if (call || nextIsParen()) return fail(cp("Valor JSON inválido: ") + std::string(theToken.raw));
  }
  return true;
}

}  // namespace

// Any complaint while the text is evaluated (a stray token such as the
// exponent of 1e99999, which would end a list half-way) makes it invalid.
Operand jsonFromText(std::string_view text) {
  TokenRec saved = theToken;
  long errorsBefore = errorReportCount();
  std::string withLineFeed(text);
  withLineFeed += '\n';
  auto line = cutLine(withLineFeed);
  reportLineErrors(0, *line);
  startLine(0, line, true);
  Operand v = invalidValue();
  if (onlyData()) {
    startLine(0, line, true);
    scan();
    v = evaluate(1);
  }
  bool leftover = v.tag != Tag::invalid && theToken.kind != tkEnd;
  if (leftover) reportError("A linha deveria terminar onde aparece " + quoted(theToken.raw));
  if (leftover || errorReportCount() != errorsBefore) {
    releaseValue(v);
    v = invalidValue();
  }
  theToken = saved;
  return v;
}

Operand readJson(const JsonSource& source, bool stopWhenClosed) {
  Collector collector;
  for (int c = source(); c >= 0; c = source()) {
    if (!collector.take(char(c))) return invalidValue();
    if (stopWhenClosed && collector.closed()) break;
  }
  if (collector.text.find_first_not_of(' ') == std::string::npos) return invalidValue();
  if (!collector.complete()) return invalidValue();
  return jsonFromText(collector.text);
}

}  // namespace varlo
