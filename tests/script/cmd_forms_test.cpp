// MENU and FORM driven by keys on the headless console: where a menu starts
// and what it hands back, and what a form writes back into the variables.
#include "editor/editor_fixture.h"
#include "script_fixture.h"

namespace varlo::test {
namespace {

class ScriptWidgets : public ConsoleFixture {
 protected:
  void SetUp() override {
    ConsoleFixture::SetUp();
    addBuiltin({"SAIDA", builtinSaida, 1, 0});
    setOutputSink(captureOutput);
    resetInterpreter();
    captured().clear();
  }
  void TearDown() override {
    setOutputSink(nullptr);
    resetInterpreter();
    ConsoleFixture::TearDown();
  }
  std::string output(std::string_view text) {
    captured().clear();
    int32_t slot = loadScriptText("/tmp/varlo-test/TESTE.SCR", utf8ToCp1252(text));
    runLoaded(slot, "", true);
    return captured();
  }
};

TEST_F(ScriptWidgets, MenuStartsAtTheItemGivenAndEndsOnAFunctionKey) {
  after("<words Buscar >", [] { pressKey(key::Down); });
  after("<words Copiar >", [] { pressKey(key::F5); });
  EXPECT_EQ(output("MENU CRIA 1 1 20 4\nMENU ADICIONA \"Abrir\"\nMENU ADICIONA \"Buscar\"\n"
                   "MENU ADICIONA \"Copiar\"\nI = 2\nMENU EXECUTA I K T\nSAIDA(I)\nSAIDA(K)\nSAIDA(T)\n"),
            "3\n#0#63\nCopiar\n");
}

TEST_F(ScriptWidgets, MenuRunsAgainUntilTerminaAndRestoresTheScreen) {
  writeText("fundo");
  after("<words Abrir >", [] { typeKeys("\x1B"); });         // no item held: the first
  after("<words Abrir >", [] { typeKeys("b\r"); });          // an initial, then Enter
  EXPECT_EQ(output("MENU CRIA 1 1 20 4\nMENU ADICIONA \"Abrir\"\nMENU ADICIONA \"Buscar\"\n"
                   "I = \"x\"\nMENU EXECUTA I K T\nSAIDA(I + \"/\" + K + \"/\" + T)\n"
                   "I = -4\nMENU EXECUTA I K T\nSAIDA(I + \"/\" + K + \"/\" + T)\n"
                   "MENU TERMINA\nMENU ADICIONA \"C\"\n"),
            "0/#27/\n2/#13/Buscar\n"
            "Erro no script TESTE.SCR, linha 11:\nÉ necessário usar o comando MENU CRIA antes\n");
  EXPECT_EQ(screenRow(1).substr(0, 5), "fundo");
}

TEST_F(ScriptWidgets, FormWritesEachFieldBackAsAString) {
  moveCursor(1, 3);
  after("<words Ana >", [] {
    pressKey(key::End);
    typeKeys(" Maria\t");
  });
  // Numbers are said from their recorded words.
  after("_trinta", [] {
    pressKey(key::End);
    typeKeys("\b\b41\t");
  });
  after("<words azul >", [] { pressKey(key::F9); });          // the field's value
  after("<words azul >", [] { pressKey(key::Down); typeKeys("\r"); });  // the menu's first entry
  after("<words verde >", [] { typeKeys("\x1B"); });
  EXPECT_EQ(output("NOME = \"Ana\"\nIDADE = 30\nTOM = \"azul\"\nFORM CRIA\n"
                   "FORM CAMPO \"Nome\" NOME\nFORM CAMPO \"Idade\" TAMANHO 3 IDADE\n"
                   "FORM CAMPO \"Cor\" TOM LISTA [\"azul\", \"verde\"]\nFORM EDITA\n"
                   "SAIDA(NOME + \"/\" + IDADE + \"/\" + TIPO(IDADE) + \"/\" + TOM)\n"
                   "FORM CAMPO \"Outro\" X\n"),
            "Ana Maria/41/cadeia/verde\n"
            "Erro no script TESTE.SCR, linha 10:\nÉ necessário usar o comando FORM CRIA antes\n");
}

TEST_F(ScriptWidgets, ViewedFormKeepsValuesAndSkipsLocalsOfAFinishedCall) {
  moveCursor(1, 3);
  after("<words fixo >", [] { typeKeys("abc"); pressKey(key::PageDown); });
  EXPECT_EQ(output("FUNCAO PREPARA()\n  LOCAL L\n  L = \"local\"\n  FORM CAMPO \"L\" L\nFIM FUNCAO\n"
                   "G = \"fixo\"\nFORM CRIA\nFORM CAMPO \"G\" G\nPREPARA()\nFORM VISUALIZA\nSAIDA(G)\n"),
            "fixo\n");
}

}  // namespace
}  // namespace varlo::test
