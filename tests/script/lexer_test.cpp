// The scanner: token kinds, literals, folding, comments and error reports.
#include <gtest/gtest.h>

#include <vector>

#include "script/lexer.h"
#include "script_fixture.h"

namespace varlo {
namespace {
using test::captured;

class LexerTest : public test::ScriptTest {
 protected:
  std::vector<Token> tokens(std::string_view utf8Line) {
    startLineText(1, utf8ToCp1252(utf8Line));
    std::vector<Token> out;
    for (int i = 0; i < 64; ++i) {
      scan();
      Token t;
      t.kind = theToken.kind;
      t.op = theToken.op;
      t.integer = theToken.integer;
      t.text = theToken.text;
      t.raw = theToken.raw;
      out.push_back(t);
      if (t.kind == tkEnd) break;
    }
    return out;
  }
};

TEST_F(LexerTest, StringLiteralsKeepBytesAndUndoubleDelimiters) {
  auto t = tokens("ESCREVE 'It''s' \"a\"\"b\" \"Ação\"");
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[1].kind, tkString);
  EXPECT_EQ(t[1].text, "It's");
  EXPECT_EQ(t[2].text, "a\"b");
  EXPECT_EQ(t[3].text, utf8ToCp1252("Ação"));
}

TEST_F(LexerTest, IdentifiersFoldAccentsAndCaseButKeepRawText) {
  auto t = tokens("Ação ACAO le LÊ $x_1 @Fim:");
  EXPECT_EQ(t[0].text, "ACAO");
  EXPECT_EQ(t[0].raw, utf8ToCp1252("Ação"));
  EXPECT_EQ(t[1].text, "ACAO");
  EXPECT_EQ(t[2].text, "LE");
  EXPECT_EQ(t[3].text, "LE");
  EXPECT_EQ(t[4].kind, tkIdentifier);
  EXPECT_EQ(t[4].text, "$X_1");
  EXPECT_EQ(t[5].kind, tkLabel);
  EXPECT_EQ(t[5].text, "@FIM");
  EXPECT_EQ(t[6].kind, tkColon);
}

TEST_F(LexerTest, OperatorsAndPunctuation) {
  auto t = tokens("= <> > >= < <= *=* =* *= + - * / % ^ .. | . , := : ( ) [ ] { } # &");
  std::vector<uint8_t> ops = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 18, 19};
  for (size_t i = 0; i < ops.size(); ++i) {
    EXPECT_EQ(t[i].kind, tkOperator) << i;
    EXPECT_EQ(t[i].op, ops[i]) << i;
  }
  std::vector<uint8_t> kinds = {tkDot, tkComma, tkAssign, tkColon, tkLeftParen, tkRightParen,
                                tkLeftBracket, tkRightBracket, tkLeftBrace, tkRightBrace, tkHash,
                                tkAmpersand, tkEnd};
  for (size_t i = 0; i < kinds.size(); ++i) EXPECT_EQ(t[ops.size() + i].kind, kinds[i]) << i;
}

TEST_F(LexerTest, RangesDotsAndIntegersThatWrap) {
  auto t = tokens("a..b a.b 4294967297 007");
  EXPECT_EQ(t[1].op, opRange);
  EXPECT_EQ(t[4].kind, tkDot);
  EXPECT_EQ(t[6].integer, 1);
  EXPECT_EQ(t[7].integer, 7);
}

TEST_F(LexerTest, CommentsAndCommentLines) {
  auto t = tokens("x := 10 ; note");
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[2].integer, 10);
  EXPECT_EQ(t[3].raw, ";");
  EXPECT_EQ(tokens("a // b")[1].raw, "//");
  for (const char* line : {"* x", "/ x", "; x", "& x"}) {
    auto c = tokens(line);
    ASSERT_EQ(c.size(), 1u) << line;
    EXPECT_EQ(c[0].raw, "EOL") << line;
  }
  auto blank = tokens("  * x");
  EXPECT_EQ(blank[0].op, opMul);
  EXPECT_EQ(blank[1].kind, tkIdentifier);
}

TEST_F(LexerTest, EndOfLineRepeatsAndStrayCharacterStops) {
  startLineText(1, "x");
  scan();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(scan(), tkEnd);
    EXPECT_EQ(theToken.raw, "EOL");
  }
  auto t = tokens("a ! b");
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[1].kind, tkEnd);
  EXPECT_EQ(t[1].raw, "");
  skipToEnd();
  EXPECT_EQ(scan(), tkEnd);
  EXPECT_EQ(theToken.raw, "EOL");
}

TEST_F(LexerTest, InvalidBytesAreReportedEachTimeATextLineIsStarted) {
  std::string line = "a \x80 b \"\x80\"";
  for (int round = 0; round < 2; ++round) {
    captured().clear();
    startLineText(7, line);
    scan();
    EXPECT_EQ(scan(), tkIdentifier);
    EXPECT_EQ(theToken.text, "B");
    EXPECT_EQ(scan(), tkString);
    EXPECT_EQ(theToken.text, "\x80");
    EXPECT_EQ(captured(), "Erro na linha 7: Caractere inválido (#128)\n");
  }
}

TEST_F(LexerTest, AnInvalidByteOfAScriptIsReportedOnceWhereverItStands) {
  // The compiler reads the first word of every line, and the run reads it
  // again; a loop runs its lines many times.
  EXPECT_EQ(output("© SAIDA(1)\nREPETE I 3\n  SAIDA(I) ©\nFIM REPETE\nX := \"a©\n"),
            "Erro na linha 1: Caractere inválido (#169)\n"
            "Erro na linha 3: Caractere inválido (#169)\n"
            "Erro na linha 5: Faltou delimitar o fim da cadeia\n"
            "1\n1\n2\n3\n");
}

TEST_F(LexerTest, UnterminatedStringIsReportedAndDelivered) {
  startLineText(3, "ESCREVE \"abc");
  scan();
  EXPECT_EQ(scan(), tkString);
  EXPECT_EQ(theToken.text, "abc");
  EXPECT_EQ(captured(), "Erro na linha 3: Faltou delimitar o fim da cadeia\n");
  EXPECT_EQ(scan(), tkEnd);
}

TEST_F(LexerTest, RewindReturnsToTheMarkedToken) {
  startLineText(1, "X := 5");
  scan();
  mark();
  scan();
  scan();
  EXPECT_EQ(theToken.integer, 5);
  rewind();
  EXPECT_EQ(theToken.text, "X");
  EXPECT_EQ(scan(), tkAssign);
}

TEST_F(LexerTest, FoldMapsInvalidBytesToZero) {
  EXPECT_EQ(fold(utf8ToCp1252("Função Æ")), std::string("FUNCAO ") + '\0');
  EXPECT_TRUE(isWord("X") == false);
}

}  // namespace
}  // namespace varlo
