// The scanner: cuts a line into tokens once; scan() replays them.
#include "script/lexer.h"

#include <array>

#include "script/interp.h"
#include "script/symbols.h"

namespace varlo {

TokenRec theToken;

namespace {

constexpr uint8_t kBlank = ' ';
constexpr uint8_t kLineFeed = '\n';

// The fixed character map: folded form of every byte, 0 when invalid.
constexpr std::array<uint8_t, 256> buildCharMap() {
  std::array<uint8_t, 256> map{};
  map[9] = kBlank;
  map[13] = kBlank;
  map[10] = kLineFeed;
  map[32] = kBlank;
  for (int c = 33; c <= 126; ++c) map[c] = uint8_t(c >= 'a' && c <= 'z' ? c - 32 : c);
  auto set = [&map](std::initializer_list<int> bytes, char to) {
    for (int b : bytes) map[b] = uint8_t(to);
  };
  set({0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5}, 'A');
  set({0xC7, 0xE7}, 'C');
  set({0xC8, 0xC9, 0xCA, 0xCB, 0xE8, 0xE9, 0xEA, 0xEB}, 'E');
  set({0xCC, 0xCD, 0xCE, 0xCF, 0xEC, 0xED, 0xEE, 0xEF}, 'I');
  set({0xD0}, 'D');
  set({0xD1, 0xF1}, 'N');
  set({0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6}, 'O');
  set({0xD9, 0xDA, 0xDB, 0xDC, 0xF9, 0xFA, 0xFB, 0xFC}, 'U');
  set({0xDD, 0xFD, 0xFF}, 'Y');
  set({0xDE, 0xFE}, 'P');
  set({0xDF}, 'S');
  return map;
}
constexpr std::array<uint8_t, 256> kCharMap = buildCharMap();

bool isWordStart(uint8_t f) { return f == '$' || f == '@' || f == '_' || (f >= 'A' && f <= 'Z'); }
bool isWordChar(uint8_t f) {
  return f == '$' || f == '_' || (f >= 'A' && f <= 'Z') || (f >= '0' && f <= '9');
}

// Cuts one token starting at pos (blanks and invalid bytes skipped first).
class Cutter {
 public:
  explicit Cutter(const std::string& text) : text_(text), end_(text.size() - 1) {}

  Token next(size_t& pos) {
    Token t;
    skipBlanks(pos, t);
    t.start = uint32_t(pos);
    uint8_t c = uint8_t(text_[pos]);
    uint8_t f = kCharMap[c];
    if (pos >= end_) {
      t.raw = "EOL";
      t.terminal = true;
    } else if (c == '"' || c == '\'') {
      cutString(pos, t);
    } else if (isWordStart(f)) {
      cutWord(pos, t);
    } else if (f >= '0' && f <= '9') {
      cutInteger(pos, t);
    } else if (c == ';' || (c == '/' && text_[pos + 1] == '/')) {
      t.raw = c == ';' ? ";" : "//";
      pos = end_;
      t.start = uint32_t(end_);
    } else if (!cutSymbol(pos, t)) {
      t.terminal = true;  // a character that starts no token: stay here
    }
    t.end = uint32_t(pos);
    if (t.raw.empty() && !t.terminal) t.raw = text_.substr(t.start, pos - t.start);
    return t;
  }

 private:
  void skipBlanks(size_t& pos, Token& t) {
    while (pos < end_) {
      uint8_t c = uint8_t(text_[pos]);
      uint8_t f = kCharMap[c];
      if (f == kBlank) {
        ++pos;
      } else if (f == kInvalidChar) {
        t.errorsBefore.push_back(cp("Caractere inválido (#") + std::to_string(c) + ")");
        ++pos;
      } else {
        break;
      }
    }
  }

  void cutString(size_t& pos, Token& t) {
    char delimiter = text_[pos++];
    t.kind = tkString;
    for (;;) {
      if (pos >= end_) {
        t.errorsInside.push_back("Faltou delimitar o fim da cadeia");
        break;
      }
      char c = text_[pos++];
      if (c == delimiter) {
        if (pos < end_ && text_[pos] == delimiter) {
          t.text += delimiter;
          ++pos;
          continue;
        }
        break;
      }
      t.text += c;
    }
  }

  void cutWord(size_t& pos, Token& t) {
    size_t start = pos;
    t.text += char(kCharMap[uint8_t(text_[pos++])]);
    while (pos < end_ && isWordChar(kCharMap[uint8_t(text_[pos])])) {
      t.text += char(kCharMap[uint8_t(text_[pos++])]);
    }
    t.kind = t.text[0] == '@' ? tkLabel : tkIdentifier;
    t.raw = text_.substr(start, pos - start);
  }

  void cutInteger(size_t& pos, Token& t) {
    uint32_t value = 0;
    while (pos < end_ && text_[pos] >= '0' && text_[pos] <= '9') {
      value = value * 10u + uint32_t(text_[pos++] - '0');
    }
    t.kind = tkInteger;
    t.integer = int32_t(value);
  }

  bool cutSymbol(size_t& pos, Token& t) {
    char c = text_[pos];
    char n = text_[pos + 1];
    auto op = [&](uint8_t code, size_t width) {
      t.kind = tkOperator;
      t.op = code;
      pos += width;
    };
    auto kind = [&](uint8_t k, size_t width) {
      t.kind = k;
      pos += width;
    };
    switch (c) {
      case '/': op(opDiv, 1); break;
      case '*':
        if (n == '=' && text_[pos + 2] == '*') op(opContains, 3);
        else if (n == '=') op(opEnds, 2);
        else op(opMul, 1);
        break;
      case '=': n == '*' ? op(opBegins, 2) : op(opEq, 1); break;
      case '<': n == '=' ? op(opLe, 2) : n == '>' ? op(opNe, 2) : op(opLt, 1); break;
      case '>': n == '=' ? op(opGe, 2) : op(opGt, 1); break;
      case '+': op(opAdd, 1); break;
      case '-': op(opSub, 1); break;
      case '%': op(opMod, 1); break;
      case '^': op(opPow, 1); break;
      case '|': op(opBar, 1); break;
      case '.': n == '.' ? op(opRange, 2) : kind(tkDot, 1); break;
      case ':': n == '=' ? kind(tkAssign, 2) : kind(tkColon, 1); break;
      case ',': kind(tkComma, 1); break;
      case '(': kind(tkLeftParen, 1); break;
      case ')': kind(tkRightParen, 1); break;
      case '[': kind(tkLeftBracket, 1); break;
      case ']': kind(tkRightBracket, 1); break;
      case '{': kind(tkLeftBrace, 1); break;
      case '}': kind(tkRightBrace, 1); break;
      case '#': kind(tkHash, 1); break;
      case '&': kind(tkAmpersand, 1); break;
      default: return false;
    }
    return true;
  }

  const std::string& text_;
  size_t end_;
};

bool startsCommentLine(std::string_view text) {
  if (text.empty()) return false;
  char c = text[0];
  return c == '&' || c == '*' || c == '/' || c == ';';
}

void makeCurrent(TokenRec& t, const Token& token) {
  t.current = &token;
  t.kind = token.kind;
  t.op = token.op;
  t.integer = token.integer;
  t.tokenStart = token.start;
  t.text = token.text;
  t.raw = token.raw;
}

}  // namespace

uint8_t foldChar(uint8_t byte) { return kCharMap[byte]; }
bool isBlankChar(uint8_t byte) { return kCharMap[byte] == kBlank; }

std::string fold(std::string_view text) {
  std::string out(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) out[i] = char(kCharMap[uint8_t(text[i])]);
  return out;
}

std::shared_ptr<const LineTokens> cutLine(std::string_view textWithLineFeed) {
  auto line = std::make_shared<LineTokens>();
  line->text.assign(textWithLineFeed);
  if (line->text.empty() || line->text.back() != '\n') line->text += '\n';
  std::string_view body(line->text.data(), line->text.size() - 1);
  Cutter cutter(line->text);
  size_t pos = 0;
  if (startsCommentLine(body)) {
    line->commentLine = true;
    pos = body.size();
  }
  for (;;) {
    Token t = cutter.next(pos);
    if (t.kind == tkIdentifier) t.hash = hashName(t.text);
    t.hasErrors = !t.errorsBefore.empty() || !t.errorsInside.empty();
    bool terminal = t.terminal;
    bool endOfLine = t.raw == "EOL";
    line->tokens.push_back(std::move(t));
    if (terminal) {
      // skipToEnd lands on the line end even after a stray character.
      if (!endOfLine) line->tokens.push_back(cutter.next(pos = body.size()));
      break;
    }
  }
  return line;
}

std::string_view TokenRec::lineText() const {
  if (!source) return {};
  return std::string_view(source->text.data(), source->text.size() - 1);
}

void startLine(int32_t lineNumber, const std::shared_ptr<const LineTokens>& source, bool keepAlive) {
  TokenRec& t = theToken;
  t.line = lineNumber;
  t.source = source.get();
  if (keepAlive) t.keep = source;
  else if (t.keep) t.keep.reset();
  t.position = 0;
  t.rewindMark = -1;
  t.kind = tkEnd;
  t.op = opNone;
  t.tokenStart = 0;
  t.text = {};
  t.raw = {};
  t.current = nullptr;
}

void startLineAt(int32_t lineNumber, const std::shared_ptr<const LineTokens>& source, uint32_t index) {
  startLine(lineNumber, source, false);
  theToken.position = index;
  scan();
}

void startLineText(int32_t lineNumber, std::string_view text) {
  std::string withLineFeed(text);
  withLineFeed += '\n';
  auto line = cutLine(withLineFeed);
  reportLineErrors(lineNumber, *line);
  startLine(lineNumber, line, true);
}

void reportLineErrors(int32_t lineNumber, const LineTokens& line) {
  for (const Token& token : line.tokens) {
    if (!token.hasErrors) continue;
    for (const std::string& e : token.errorsBefore) lexicalError(lineNumber, e);
    for (const std::string& e : token.errorsInside) lexicalError(lineNumber, e);
  }
}

uint8_t scan() {
  TokenRec& t = theToken;
  const std::vector<Token>& tokens = t.source->tokens;
  uint32_t index = t.position;
  const Token& token = tokens[index];
  makeCurrent(t, token);
  if (!token.terminal) t.position = index + 1;
  return t.kind;
}

void mark() {
  TokenRec& t = theToken;
  t.rewindMark = t.current ? int32_t(t.current - t.source->tokens.data()) : -1;
}

void rewind() {
  TokenRec& t = theToken;
  if (t.rewindMark < 0) return;
  const Token& token = t.source->tokens[uint32_t(t.rewindMark)];
  makeCurrent(t, token);
  if (!token.terminal) t.position = uint32_t(t.rewindMark) + 1;
}

void skipToEnd() {
  TokenRec& t = theToken;
  const Token& last = t.source->tokens.back();
  t.position = uint32_t(t.source->tokens.size() - 1);
  t.current = &last;
  t.kind = tkEnd;
  t.op = opNone;
  t.tokenStart = uint32_t(t.source->text.size() - 1);
  t.text = {};
  t.raw = {};
}

bool isWord(std::string_view name) {
  return theToken.kind == tkIdentifier && theToken.text == name;
}

namespace {
long lexicalErrors = 0;
}

long lexicalErrorCount() { return lexicalErrors; }

void lexicalError(int32_t lineNumber, std::string_view message) {
  if (!theInterp.reportErrors) return;
  ++lexicalErrors;
  reportWithoutLine(cp("Erro na linha ") + std::to_string(lineNumber) + ": " + std::string(message));
}

}  // namespace varlo
