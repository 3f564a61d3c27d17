// ESCREVE, FALA, SOLETRA, SIMBOLOS and DEBUG: what is printed, said and
// reported, including the statements that go wrong.
#include <gtest/gtest.h>

#include "speech/speech.h"
#include "script_fixture.h"

namespace varlo {
namespace {

std::vector<std::string>& sounds() {
  static std::vector<std::string> list;
  return list;
}

// Word runs as said, without the blanks that end them.
void listen(SoundEvent event, std::string_view detail) {
  if (event != SoundEvent::words) return;
  std::string words = cp1252ToUtf8(detail);
  words.erase(words.find_last_not_of(' ') + 1);
  sounds().push_back(words);
}

// Output as (text, line break, spoken) pieces.
std::string& pieces() {
  static std::string text;
  return text;
}

void capturePieces(std::string_view text, bool lineBreak, bool spoken) {
  pieces() += "<" + cp1252ToUtf8(text) + (lineBreak ? "|n" : "") + (spoken ? "" : "|mudo") + ">";
}

class ConsoleCommandsTest : public test::ScriptTest {
 protected:
  std::string error(int line, const std::string& message) {
    return "Erro no script TESTE.SCR, linha " + std::to_string(line) + ":\n" + message + "\n";
  }
};

TEST_F(ConsoleCommandsTest, WhatIsSpokenAndWhatIsOnlyShown) {
  setOutputSink(capturePieces);
  pieces().clear();
  run("ESCREVE \"a\", 1 &\nESCREVE MUDO \"b\"\nESCREVE MUDO \"c\" &\nESCREVE LISTA [1, 2]\n"
      "ESCREVE MUDO LISTA [3] \"-\"\n");
  EXPECT_EQ(pieces(), "<a 1><b|n|mudo><c|mudo><1|n><2|n><3|n|mudo>");
}

TEST_F(ConsoleCommandsTest, ExtraTokensAndBadSeparators) {
  EXPECT_EQ(output("ESCREVE 1 2\n"), "1\n" + error(1, "A linha deveria terminar onde aparece \"2\""));
  EXPECT_EQ(output("ESCREVE LISTA [1] 5\n"), error(1, "Esperava uma cadeia como separador"));
  EXPECT_EQ(output("ESCREVE LISTA 5 \",\"\n"), error(1, "Esperava uma lista para ser escrita"));
}

TEST_F(ConsoleCommandsTest, SpeechSaysTheItemsAndGoesOnAfterABadOne) {
  sounds().clear();
  setSoundListener(listen);
  std::string out = output("FALA \"bom\", \"dia\"\nFALA \"x\", [1] - 1, \"y\"\nSAIDA(\"depois\")\n");
  setSoundListener(nullptr);
  EXPECT_EQ(out, error(2, "Expressão inválida para o comando FALA") + "depois\n");
  ASSERT_FALSE(sounds().empty());
  EXPECT_EQ(sounds()[0], "bom dia");
  EXPECT_EQ(sounds().back(), "x");
}

TEST_F(ConsoleCommandsTest, SilencedRunsSpeakNothing) {
  sounds().clear();
  setSoundListener(listen);
  setSpeechSilenced(true);
  output("FALA \"nada\"\nSOLETRA \"abc\" &\n");
  setSpeechSilenced(false);
  setSoundListener(nullptr);
  EXPECT_TRUE(sounds().empty());
}

TEST_F(ConsoleCommandsTest, SymbolsShowLocalsOfTheRunningFunctionAndModules) {
  std::string out = output(
      "FUNCAO F(P) : Q\n"
      "  SIMBOLOS\n"
      "FIM FUNCAO\n"
      "X := \"a\"\"b\"\n"
      "F(1)\n");
  EXPECT_NE(out.find("X                     cadeia   1         GLOBAL          \"a\"b\"\n"), std::string::npos) << out;
  EXPECT_NE(out.find("P                          ?             F               ?\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Q                          ?             F               ?\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("SIMBOLOS"), std::string::npos);
}

TEST_F(ConsoleCommandsTest, TracingPrintsEachLineUntilTurnedOff) {
  EXPECT_EQ(output("DEBUG\nX := 1\nDEBUG - resto ignorado\nY := 2\n"),
            "Depuração ligada\nX := 1\nDEBUG - resto ignorado\nDepuração desligada\n");
}

TEST_F(ConsoleCommandsTest, VersionChecks) {
  EXPECT_EQ(output("VERSAO \"6.2\"\nVERSAO \"6\"\nVERSAO \"10.0\"\nSAIDA(1)\n"),
            error(3, "Cuidado: a versão corrente deste interpretador é 6.3") + "1\n");
  EXPECT_EQ(output("VERSAO \"6.\"\nVERSAO \"-7\"\nSAIDA(1)\n"),
            error(1, "6. não é um número válido de versão") + error(2, "-7 não é um número válido de versão") +
                "1\n");
  EXPECT_EQ(output("VERSAO\n"), error(1, "Esperava uma cadeia com o número da versão"));
}

}  // namespace
}  // namespace varlo
