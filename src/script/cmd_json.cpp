// Collection of JSON texts: brackets and braces matched outside quoted
// text, line feeds made blanks, then plain data built straight into values,
// anything else evaluated as one expression.
#include "script/cmd_json.h"

#include <algorithm>
#include <vector>

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

// Plain JSON (brackets, braces with quoted keys, quoted strings, integers of
// up to nine digits) is built straight into values: cut into script tokens
// it costs hundreds of bytes an element, and its lists grow by doubling.
// Anything else (names, fractions, a longer number, a stray character) is
// left to the expression, which reads it as a script would.
class DirectReader {
 public:
  explicit DirectReader(std::string_view text) : text_(text) { countListItems(); }

  // False (nothing built) when the text is not plain data.
  bool read(Operand& out) {
    if (!value(out, 0)) return false;
    skipBlanks();
    if (at_ == text_.size()) return true;
    releaseValue(out);
    return false;
  }

 private:
  static constexpr int kDeepest = 200;

  // Items of every list, in the order their brackets open: each list is
  // given its room at once. A miscount only costs a regrowth.
  void countListItems() {
    struct Open { size_t list; bool isList, sawItem; int32_t commas; };
    std::vector<Open> open;
    char quote = 0;
    for (char c : text_) {
      if (quote) {
        if (c == quote) quote = 0;
        continue;
      }
      if (!open.empty() && c != ' ' && c != ']' && c != '}') open.back().sawItem = true;
      if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '[' || c == '{') {
        open.push_back({sizes_.size(), c == '[', false, 0});
        if (c == '[') sizes_.push_back(0);
      } else if (c == ',' && !open.empty()) {
        ++open.back().commas;
      } else if ((c == ']' || c == '}') && !open.empty()) {
        Open& o = open.back();
        if (o.isList) sizes_[o.list] = o.sawItem ? o.commas + 1 : 0;
        open.pop_back();
      }
    }
  }

  void skipBlanks() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
  }

  bool take(char c) {
    skipBlanks();
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }

  bool value(Operand& out, int depth) {
    skipBlanks();
    if (at_ >= text_.size() || depth > kDeepest) return false;
    char c = text_[at_];
    if (c == '[') return list(out, depth);
    if (c == '{') return dict(out, depth);
    if (c == '"' || c == '\'') {
      std::string text;
      if (!quoted(text)) return false;
      out = stringValue(std::move(text));
      return true;
    }
    return integer(out);
  }

  // A doubled delimiter stands for itself, as in a script's strings.
  bool quoted(std::string& text) {
    char delimiter = text_[at_++];
    for (;;) {
      size_t end = text_.find(delimiter, at_);
      if (end == std::string_view::npos) return false;
      text.append(text_.substr(at_, end - at_));
      at_ = end + 1;
      if (at_ >= text_.size() || text_[at_] != delimiter) return true;
      text += delimiter;
      ++at_;
    }
  }

  bool integer(Operand& out) {
    bool negative = text_[at_] == '-';
    size_t start = at_ + (negative ? 1 : 0);
    size_t end = start;
    while (end < text_.size() && end - start < 10 && text_[end] >= '0' && text_[end] <= '9') ++end;
    bool ended = end == text_.size() || std::string_view(" ,]}:\t").find(text_[end]) != std::string_view::npos;
    if (end == start || end - start > 9 || !ended) return false;
    int32_t n = 0;
    for (size_t i = start; i < end; ++i) n = n * 10 + (text_[i] - '0');
    out = integerValue(negative ? -n : n);
    at_ = end;
    return true;
  }

  bool list(Operand& out, int depth) {
    ++at_;
    out = newList();
    if (nextList_ < sizes_.size()) cellsOf(out).reserve(size_t(sizes_[nextList_]));
    ++nextList_;
    if (take(']')) return true;
    do {
      Operand element;
      if (!value(element, depth + 1)) return fail(out);
      listAppend(out, std::move(element));
    } while (take(','));
    return take(']') || fail(out);
  }

  bool dict(Operand& out, int depth) {
    ++at_;
    out = newDict();
    if (take('}')) return true;
    do {
      skipBlanks();
      std::string key;
      Operand element;
      bool keyed = at_ < text_.size() && (text_[at_] == '"' || text_[at_] == '\'') && quoted(key);
      if (!keyed || !take(':') || !value(element, depth + 1)) return fail(out);
      dictSet(out, key, std::move(element));
      releaseValue(element);
    } while (take(','));
    return take('}') || fail(out);
  }

  static bool fail(Operand& built) {
    releaseValue(built);
    return false;
  }

  std::string_view text_;
  size_t at_ = 0;
  std::vector<int32_t> sizes_;
  size_t nextList_ = 0;
};

}  // namespace

// Any complaint while the text is evaluated (a stray token such as the
// exponent of 1e99999, which would end a list half-way) makes it invalid.
Operand jsonFromText(std::string_view text) {
  Operand direct;
  if (DirectReader(text).read(direct)) return direct;
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
