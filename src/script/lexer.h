// The script lexer: one line at a time into tokens, on demand.
//
// There is one lexer state, `theToken`. The compiler, the statement driver,
// the expression evaluator, the commands and the built-in functions all read
// the current token from it and move on with scan(). Whoever looks at
// another line for a while (a call, a CMD line, an import) saves the whole
// TokenRec by value and restores it afterwards.
//
// A line is cut into tokens the first time it is started and the tokens are
// kept with the line; scanning replays them, including the lexical error
// reports, so a line behaves exactly as if it were scanned afresh each time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace varlo {

struct SymtbEntry;

enum TokenKind : uint8_t {
  tkEnd = 0, tkIdentifier, tkLabel, tkInteger, tkString, tkOperator, tkDot,
  tkComma, tkAssign, tkColon, tkLeftParen, tkRightParen, tkLeftBracket,
  tkRightBracket, tkLeftBrace, tkRightBrace, tkHash, tkAmpersand
};

// Operator codes of tkOperator tokens; opOr and opAnd are the words OU and E,
// which the lexer leaves as identifiers.
enum OperatorCode : uint8_t {
  opNone = 0, opEq = 1, opNe, opGt, opGe, opLt, opLe, opContains, opBegins,
  opEnds, opAdd = 10, opSub, opMul, opDiv, opMod, opPow, opOr = 16, opAnd = 17,
  opRange = 18, opBar = 19
};

// Character map: blank, line feed, invalid, or the byte itself folded to an
// unaccented capital.
constexpr uint8_t kInvalidChar = 0;
uint8_t foldChar(uint8_t byte);          // 0 for an invalid byte
bool isBlankChar(uint8_t byte);
// Every character through the map (invalid bytes become 0).
std::string fold(std::string_view text);

// One token of a line as cut once.
struct Token {
  uint8_t kind = tkEnd;
  uint8_t op = opNone;
  bool terminal = false;      // scanning again stays on this token
  bool hasErrors = false;     // errorsBefore or errorsInside not empty
  int32_t integer = 0;
  uint32_t start = 0;         // byte offset of the token in the line
  uint32_t end = 0;           // byte offset after it
  std::string text;           // folded identifier text or string contents
  std::string raw;            // as written ("EOL", ";", "//" for ends)
  uint32_t hash = 0;          // symbol table bucket of text (identifiers)
  std::vector<std::string> errorsBefore;  // invalid bytes skipped before it
  std::vector<std::string> errorsInside;  // an unterminated string
  // Resolution cache (symbols.h: resolveToken).
  mutable SymtbEntry* cachedEntry = nullptr;
  mutable uint32_t cachedGeneration = 0;
  mutable int32_t cachedScript = -2;
  mutable const SymtbEntry* cachedFunction = nullptr;
};

// The tokens of one line text (which ends with a line feed).
struct LineTokens {
  std::string text;
  std::vector<Token> tokens;   // ends with a terminal token, the last is EOL
  bool commentLine = false;    // first character & * / or ;
};
std::shared_ptr<const LineTokens> cutLine(std::string_view textWithLineFeed);

struct TokenRec {
  int32_t line = 0;                          // line number being scanned
  const LineTokens* source = nullptr;        // the line and its tokens
  // Holds lines that may be replaced while being scanned (the interactive
  // line 0, which CMD rewrites); script lines live in their CodeRec.
  std::shared_ptr<const LineTokens> keep;
  uint32_t position = 0;                     // index of the next token
  int32_t rewindMark = -1;                   // token index or -1
  uint8_t kind = tkEnd;
  uint8_t op = opNone;
  int32_t integer = 0;
  uint32_t tokenStart = 0;                   // byte offset in the line
  std::string_view text;                     // folded identifier / string
  std::string_view raw;                      // as written
  const Token* current = nullptr;            // the current token

  std::string_view lineText() const;         // without the line feed
};

extern TokenRec theToken;

// Start scanning a line whose tokens were cut already.
void startLine(int32_t lineNumber, const std::shared_ptr<const LineTokens>& source, bool keepAlive);
// Starts a line with the token at `index` already scanned (where a
// pre-analysed statement hands over to the token readers).
void startLineAt(int32_t lineNumber, const std::shared_ptr<const LineTokens>& source, uint32_t index);
// Convenience: cut text (without line feed), report its lexical errors and
// start it.
void startLineText(int32_t lineNumber, std::string_view text);
// Reports the invalid characters and unterminated strings of a line once,
// when it is cut: scanning it (again) reports nothing, so a byte is never
// reported twice however often its line is compiled, re-scanned or run.
void reportLineErrors(int32_t lineNumber, const LineTokens& line);
uint8_t scan();
void mark();
void rewind();
void skipToEnd();
bool isWord(std::string_view name);
// "Erro na linha N: message" on the script output channel.
void lexicalError(int32_t lineNumber, std::string_view message);
// Lexical errors reported so far (the compiler gives up on files full of them).
long lexicalErrorCount();

}  // namespace varlo
