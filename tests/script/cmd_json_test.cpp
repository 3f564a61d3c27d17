// JSON texts: bracket checking during collection, quoted brackets, the
// refusal of names that would run code, deep nesting and large texts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "script_fixture.h"

namespace varlo {
namespace {

namespace fs = std::filesystem;

class JsonTest : public test::ScriptTest {
 protected:
  fs::path file = fs::temp_directory_path() / ("varlo-json-" + std::to_string(getpid()) + ".json");

  void TearDown() override {
    test::ScriptTest::TearDown();
    fs::remove(file);
  }

  // Output of reading the text with CONTEUDO and printing the value's type
  // and text.
  std::string read(const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
    return output("V := CONTEUDO(\"" + file.string() + "\", \"JSON\")\nSAIDA(TIPO(V))\nSAIDA(V)\n");
  }

  std::string error(const std::string& message) {
    return "Erro no script TESTE.SCR, linha 1:\n" + message + "\n";
  }
};

TEST_F(JsonTest, ObjectsArraysStringsAndNumbers) {
  EXPECT_EQ(read("{\"a\": [1, -2, \"x\"],\n \"b\": {\"c\": {}}, \"d\": []}"),
            "dicionário\n{\"a\" : [1, -2, x], \"b\" : {\"c\" : {}}, \"d\" : []}\n");
  EXPECT_EQ(read("  [ 'um', \"dois\" ]  \n"), "lista\n[um, dois]\n");
  EXPECT_EQ(read("\"só texto\""), "cadeia\nsó texto\n");
}

TEST_F(JsonTest, BracketsInsideQuotedTextAreNotCounted) {
  EXPECT_EQ(read("{\"a\": \"]}\", 'b': '[{'}"), "dicionário\n{\"a\" : \"]}\", \"b\" : \"[{\"}\n");
}

TEST_F(JsonTest, ClosersOutOfPlaceStopTheCollection) {
  EXPECT_EQ(read("[1, 2}"), error("Esperava ] em vez de }") + "indefinido\nindefinido\n");
  EXPECT_EQ(read("{\"a\": [1}"), error("Esperava ] em vez de }") + "indefinido\nindefinido\n");
  EXPECT_EQ(read("1]"), error("Caractere ] inesperado") + "indefinido\nindefinido\n");
  EXPECT_EQ(read(""), "indefinido\nindefinido\n");
}

TEST_F(JsonTest, TextCutShortOrNumbersBeyondIntegersAreRefusedWithTheStatusSet) {
  auto status = [this](const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
    return output("V := CONTEUDO(\"" + file.string() + "\", \"JSON\")\nCHECA S\nSAIDA(TIPO(V) + S)\n");
  };
  EXPECT_EQ(status("{\"a\": \"abc"), error("Faltou delimitar o fim da cadeia") + "indefinido1\n");
  EXPECT_EQ(status("[1, [2, 3]"), error("Esperava ] antes do fim do texto") + "indefinido1\n");
  EXPECT_EQ(status("[1, 1e99999, 3]"), "e99999 não era esperado\nindefinido1\n");
  EXPECT_EQ(status("[1, 2]"), "lista0\n");
  std::ofstream(file, std::ios::binary) << "{\"k\": 'x";
  EXPECT_EQ(output("ABRE #1 \"" + file.string() + "\"\nLE #1 JSON D\n"),
            "Erro no script TESTE.SCR, linha 2:\nFaltou delimitar o fim da cadeia\n"
            "Erro no script TESTE.SCR, linha 2:\nErro de leitura; a variável \"D\" não foi alterada\n");
}

TEST_F(JsonTest, NamesThatWouldRunCodeAreRefused) {
  EXPECT_EQ(read("{\"a\": TAMANHO(\"xx\")}"), error("Valor JSON inválido: TAMANHO") + "indefinido\nindefinido\n");
  EXPECT_EQ(read("[DATA]"), error("Valor JSON inválido: DATA") + "indefinido\nindefinido\n");
  EXPECT_EQ(read("[F(1)]"), error("Valor JSON inválido: F") + "indefinido\nindefinido\n");
}

TEST_F(JsonTest, TrueFalseAndNullAreJustNames) {
  std::string out = read("[true]");
  EXPECT_NE(out.find("A variável \"TRUE\" não foi inicializada"), std::string::npos) << out;
}

TEST_F(JsonTest, DeepNestingAndLargeTextsEndCleanly) {
  // Nesting beyond what evaluation can take is said once, not once for
  // every bracket left open.
  std::string deep = std::string(100000, '[') + std::string(100000, ']');
  EXPECT_EQ(read(deep), error("Expressão aninhada demais") + "indefinido\nindefinido\n");
  std::string large = "[";
  for (int i = 0; i < 30000; ++i) large += std::to_string(i) + (i + 1 < 30000 ? ", " : "]");
  std::ofstream(file, std::ios::binary) << large;
  EXPECT_EQ(output("V := CONTEUDO(\"" + file.string() + "\", \"JSON\")\nSAIDA(TAMANHO(V))\nSAIDA(V[29999])\n"),
            "30000\n29999\n");
  EXPECT_EQ(objectCounters().objects, 0);
}

// Plain data is built straight, everything else through the expression: a
// range (not JSON) sends the same items the expression's way, and both ways
// must give the same value.
TEST_F(JsonTest, PlainDataReadsAsTheExpressionWouldReadIt) {
  for (const char* item : {"'it''s'", "\"a\"\"b\"", "-123456789", "123456789", "  7\t",
                           "{\"k\": 1, \"k\": 2}", "{}", "[]", "[[1], {\"a\": [2, 'x']}]",
                           "{\"lista\": [{\"b\": -1}], \"v\": {}}"}) {
    std::string direct = read(std::string("[") + item + ", 0]");
    EXPECT_EQ(direct, read(std::string("[") + item + ", 0..0]")) << item;
    EXPECT_EQ(direct.substr(0, 6), "lista\n") << item;
  }
  EXPECT_EQ(objectCounters().objects, 0);
}

TEST_F(JsonTest, ReadFromADescriptorToTheEndOfTheFile) {
  std::ofstream(file, std::ios::binary) << "primeira\n{\"k\":\n 7}\n";
  EXPECT_EQ(output("ABRE #1 \"" + file.string() + "\"\nLE #1 X\nLE #1 JSON D\nSAIDA(D.k)\nSAIDA(FDA(#1))\n"
                   "FECHA #1\n"),
            "7\n1\n");
}

}  // namespace
}  // namespace varlo
