// LE from the keyboard: keys typed into the headless console reach the
// spoken line editor, the field editor, the password reader and the key
// reader; modifiers that do not go together are refused.
#include <gtest/gtest.h>

#include "script_fixture.h"

namespace varlo {
namespace {

class ReadCommandTest : public test::ScriptTest {
 protected:
  void SetUp() override {
    test::ScriptTest::SetUp();
    flushKeyQueue();
    clearWindow();
  }

  std::string error(int line, const std::string& message) {
    return "Erro no script TESTE.SCR, linha " + std::to_string(line) + ":\n" + message + "\n";
  }
};

TEST_F(ReadCommandTest, LinesThroughTheSpokenEditor) {
  injectKeys("Maria\r");
  injectKeys("41\r");
  injectKeys("x\x1b");
  EXPECT_EQ(output("LE \"Nome: \" NOME\nLE INTEIRO N\nLE V\nSAIDA(NOME)\nSAIDA(N + 1)\nSAIDA(\"[\" + V + \"]\")\n"),
            "Nome: Maria\n42\n[]\n");
}

TEST_F(ReadCommandTest, EditingStartsFromTheCurrentValue) {
  injectKeys("\r");
  injectKeys("\x1b");
  EXPECT_EQ(output("V := 12\nLE EDITA V\nSAIDA(V)\nLE EDITA V\nSAIDA(\"[\" + V + \"]\")\n"), "12\n[]\n");
}

TEST_F(ReadCommandTest, PasswordsAreNeitherShownNorKept) {
  injectKeys("segredo\b\b00\r");
  EXPECT_EQ(output("LE SENHA S\nSAIDA(S)\n"), "segre00\n");
  EXPECT_EQ(screenDump().find("segre"), std::string::npos) << screenDump();
}

TEST_F(ReadCommandTest, SingleKeysAsText) {
  injectKeys("a");
  injectKeys("\x01");
  injectExtendedKey(key::F1);
  injectKeys("\r");
  EXPECT_EQ(output("LE A &\nLE MUDO B &\nLE C &\nLE D &\nSAIDA([A, B, C, D])\n"), "[a, #1, #0#59, #13]\n");
}

TEST_F(ReadCommandTest, ListsAndJsonFromTheKeyboard) {
  injectKeys("um\rdois\r\r");
  injectKeys("[1,\r{'a' : \"b\"}]\r\r");
  EXPECT_EQ(output("LE MAIUSC LISTA L\nSAIDA(L)\nLE JSON J\nSAIDA(J)\n"),
            "Leitura de lista pelo teclado. Termine com uma linha vazia.\nFim da leitura da lista\n[UM, DOIS]\n"
            "Leitura de JSON. Termine com uma linha em branco.\nFim da leitura de JSON.\n[1, {\"a\" : \"b\"}]\n");
}

TEST_F(ReadCommandTest, WaitingForEnterPassesOverOtherKeys) {
  injectKeys("xy\r");
  injectKeys("z\r");
  EXPECT_EQ(output("LE\nLE MUDO V\nSAIDA(V)\n"), "z\n");
}

TEST_F(ReadCommandTest, ModifiersThatDoNotGoTogether) {
  EXPECT_EQ(output("LE INTEIRO LISTA L\n"), error(1, "Modificadores INTEIRO e LISTA conflitantes para o comando Lê"));
  EXPECT_EQ(output("LE JSON INTEIRO L\n"),
            error(1, "Modificadores INTEIRO e DICIONARIO conflitantes para o comando Lê"));
  EXPECT_EQ(output("LE #1 SENHA L\n"),
            error(1, "Os modificadores MUDO, SENHA ou EDITA só se aplicam à leitura do teclado"));
  EXPECT_EQ(output("LE MUDO 5\n"), error(1, "Faltou a variável para leitura"));
  EXPECT_EQ(output("LE \"pergunta\" 5\n"), error(1, "Faltou a variável para leitura"));
}

TEST_F(ReadCommandTest, AModifierWordAloneIsTheVariable) {
  injectKeys("abc\r");
  injectKeys("def\r");
  EXPECT_EQ(output("LE MUDO\nLE LISTA\nSAIDA(MUDO + LISTA)\n"), "abcdef\n");
}

}  // namespace
}  // namespace varlo
