// The compiler and the stack machine of planned expressions, on lines cut
// from text: the code chosen for elements, calls and the words E and OU,
// values computed in full against the token evaluator's, and quiet runs
// that must give up without a trace.
#include <gtest/gtest.h>

#include "script/bytecode.h"
#include "script_fixture.h"

namespace varlo {
namespace {
using test::captured;

class BytecodeTest : public test::ScriptTest {
 protected:
  // One expression of `text` compiled; kNoCode when the line is refused.
  uint32_t compile(std::string_view text, bool chain = true) {
    line_ = cutLine(utf8ToCp1252(text) + "\n");
    chunk_ = Chunk{};
    ExpressionCompiler compiler(theInterp.currentScript, chunk_, line_->tokens);
    uint32_t e = compiler.expression(1, chain);
    if (compiler.refused() || !compiler.atEnd()) return kNoCode;
    pinChunkNames(chunk_);
    return e;
  }

  std::string listing(std::string_view text) {
    uint32_t e = compile(text);
    return e == kNoCode ? "refused" : listExpression(chunk_, e);
  }

  // The value's text, and the word where the expression ended early.
  std::string full(std::string_view text) {
    uint32_t e = compile(text);
    if (e == kNoCode) return "refused";
    const Token* stop = nullptr;
    Operand v = runExpression(chunk_, e, stop);
    std::string out = cp1252ToUtf8(valueText(v));
    releaseValue(v);
    return stop ? out + " | " + stop->raw : out;
  }

  std::string quiet(std::string_view text) {
    uint32_t e = compile(text);
    if (e == kNoCode || !chunk_.expressions[e].plain) return "not plain";
    int32_t out = 0;
    return quietInteger(chunk_, e, nullptr, out) ? std::to_string(out) : "gave up";
  }

  std::shared_ptr<const LineTokens> line_;
  Chunk chunk_;
};

TEST_F(BytecodeTest, ElementsCallsAndWordOperatorsCompileToTheirInstructions) {
  // A variable's element by a number or a name is one instruction, and so
  // is an operator with a number or a name on its right; a function is
  // found before its arguments; E jumps past its right side.
  EXPECT_EQ(listing("L[I] + 2 * L[3]"), "ELEMENT L I\nINTEGER 2\nELEMENT L 3\nBINARY 12\nBINARY 10\n");
  EXPECT_EQ(listing("F(1, X) E 1"), "CALLEE F\nINTEGER 1\nNAME X\nCALL 2 F\nLOGICAL E 6\nBINARY_INTEGER 17 1\n");
  EXPECT_EQ(listing("L[I][2] + D.nome"),
            "ELEMENT L I\nINTEGER 2\nSELECT_ONE\nNAME D\nINDEX_NAME nome\nSELECT\nBINARY 10\n");
  EXPECT_EQ(listing("L[I + 1] - X"), "NAME L\nNAME I\nBINARY_INTEGER 10 1\nSELECT_ONE\nBINARY_NAME 11 X\n");
  // E and OU inside brackets, an unclosed bracket and a bar left open are
  // left to the token reader.
  EXPECT_EQ(listing("(1 E 0)"), "refused");
  EXPECT_EQ(listing("[1, 2"), "refused");
  EXPECT_EQ(listing("|X + 1"), "refused");
  EXPECT_EQ(compile("1 E 0", false), kNoCode);
  // More values at once than the machine's stack holds: refused, not run.
  std::string many;
  for (int k = 0; k < kMachineStack + 2; ++k) many += (k ? ", " : "") + std::to_string(k);
  EXPECT_EQ(listing("L[" + many + "]"), "refused");
  EXPECT_EQ(listing("F(" + many + ")"), "refused");
  EXPECT_NE(listing("[" + many + "]"), "refused") << "a list literal adds its elements one by one";
}

TEST_F(BytecodeTest, FullRunsGiveTheTokenEvaluatorsValues) {
  // Literals nested in literals (each dictionary counting its own keys),
  // ranges, prefixes, selectors and wrapping arithmetic.
  for (const char* e : {"[1, {2, {3, 4}, \"k\" : 5, 6}, 7..9]", "{\"a\" : [1..3], 4, {5}, 6}[2]",
                        "-\"abc\" + |[1, 2]| + *[2, 3]", "[10, 20, 30][2] - [4][0] * 2 ^ 3",
                        "2147483647 + 1", "\"casa\"[1..2]", ">[3, 9, 4] = 9"}) {
    captured().clear();
    std::string walked = interactive(std::string("SAIDA(") + e + ")");
    EXPECT_EQ(full(e) + "\n", walked) << e;
  }
  // An expression ends at E or OU after a value other than 0 or 1; an OU
  // whose right side ended still applies.
  EXPECT_EQ(full("2 E 1 OU 0"), "2 | E");
  EXPECT_EQ(full("1 E 1 OU 0"), "1");
  EXPECT_NE(full("0 OU 5 E 1").find(" | E"), std::string::npos);
  EXPECT_EQ(objectCounters().objects, 0);
}

TEST_F(BytecodeTest, QuietRunsGiveUpOnAnythingButIntegers) {
  interactive("X := 5");
  interactive("S := \"7\"");
  interactive("L := [1, \"b\"]");
  interactive("D := {\"k\" : 3}");
  interactive("K := \"k\"");
  interactive("Y := -1");
  EXPECT_EQ(quiet("X * 3 + L[0] - D[K]"), "13");
  EXPECT_EQ(quiet("2147483647 + X"), "-2147483644");
  for (const char* e : {"X / 0", "X % (X - 5)", "S + 1", "L[1] + 1", "L[5]", "L[Y]", "NINGUEM", "D[X]"}) {
    EXPECT_EQ(quiet(e), "gave up") << e;
  }
  for (const char* e : {"X + F(1)", "\"a\" + 1", "X E 1", "[X][0]", "-X"}) EXPECT_EQ(quiet(e), "not plain") << e;
  EXPECT_EQ(captured().find("rro"), std::string::npos) << captured();
}

}  // namespace
}  // namespace varlo
