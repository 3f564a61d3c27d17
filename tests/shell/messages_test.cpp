#include <gtest/gtest.h>

#include <set>

#include "base/codepage.h"
#include "speech/message_table.h"
#include "speech/messages.h"

using namespace varlo;

TEST(Messages, CatalogueKeysAreWellFormedAndUnique) {
  EXPECT_EQ(kMessageCount, 139u);
  std::set<std::string> keys;
  for (size_t i = 0; i < kMessageCount; ++i) {
    std::string key = kMessageTable[i].key;
    EXPECT_TRUE(key.size() >= 4 && key.size() <= 8 && key.rfind("VL", 0) == 0) << key;
    EXPECT_TRUE(keys.insert(key).second) << key;
  }
}

TEST(Messages, TextsAreWindows1252WithTheirSpaces) {
  EXPECT_EQ(messageText("VLOPINV"), "Op\xE7\xE3o inv\xE1lida, aperte F1 para ajuda");
  EXPECT_EQ(messageText("VLQUALOP"), "Qual sua op\xE7\xE3o ? ");
  EXPECT_EQ(messageText("VLGERCD"), "  G   Gerar CD");
  EXPECT_EQ(messageText("VLINIC"), "VARLO KET - V.");
}

TEST(Messages, UnknownKeysSayWhatIsWrong) {
  EXPECT_EQ(messageText("VLXYZ"), "--> Mensagem inv\xE1lida: VLXYZ");
  EXPECT_EQ(messageText("vlopinv"), "--> Mensagem inv\xE1lida: vlopinv");  // case matters
}
