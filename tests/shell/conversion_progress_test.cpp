#include <gtest/gtest.h>

#include "base/codepage.h"
#include "shell/conversion_progress.h"

using namespace varlo;

TEST(ConversionProgressText, GivesThePartThePercentAndTheTimeLeftFromThePaceSoFar) {
  auto said = [](uint64_t done, uint64_t total, double elapsed) {
    return cp1252ToUtf8(progressText(2, 3, done, total, elapsed));
  };
  EXPECT_EQ(said(0, 1000, 5), "Parte 2 de 3: 0 por cento");
  EXPECT_EQ(said(500, 1000, 10), "Parte 2 de 3: 50 por cento, faltam 10 segundos");
  EXPECT_EQ(said(250, 1000, 30), "Parte 2 de 3: 25 por cento, faltam 1 minuto e 30 segundos");
  EXPECT_EQ(said(100, 1000, 61), "Parte 2 de 3: 10 por cento, faltam 9 minutos e 9 segundos");
  EXPECT_EQ(said(999, 1000, 999), "Parte 2 de 3: 99 por cento, faltam 1 segundo");
  // Lines re-wrapped for speech may count past the file's size.
  EXPECT_EQ(said(1200, 1000, 20), "Parte 2 de 3: 100 por cento");
}
