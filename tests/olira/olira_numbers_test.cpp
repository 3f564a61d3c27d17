// Number reading: cardinals, ordinals, dashed and very long numbers.
#include <gtest/gtest.h>

#include <algorithm>

#include "olira/olira_test_util.h"
#include "engines/olira_numbers.h"

using namespace varlo;
using varlo::test::cp;

namespace {

std::string read(const char* utf8, size_t start = 0, size_t* end = nullptr) {
  std::string text = cp(utf8);
  size_t pos = start;
  std::string words = readNumber(text, pos);
  if (end) *end = pos;
  return words;
}

}  // namespace

TEST(OliraNumbers, CardinalsJoinGroupsWithE) {
  EXPECT_EQ(cardinal(0), "zero");
  EXPECT_EQ(cardinal(21), "vinte e um");
  EXPECT_EQ(cardinal(100), "cem");
  EXPECT_EQ(cardinal(101), "cento e um");
  EXPECT_EQ(cardinal(115), "cento e quinze");
  EXPECT_EQ(cardinal(2000), "dois mil ");
  EXPECT_EQ(cardinal(1234), "mil e duzentos e trinta e quatro");
  EXPECT_EQ(cardinal(1000000), cp("um milhão "));
  EXPECT_EQ(cardinal(1500000), cp("um milhão e quinhentos mil "));
  EXPECT_EQ(cardinal(2000001), cp("dois milhões e um"));
  EXPECT_EQ(cardinal(50), cp("cinqüenta"));
  EXPECT_EQ(cardinal(999'999'999'999'999ULL),
            cp("novecentos e noventa e nove trilhões novecentos e noventa e nove bilhões "
               "novecentos e noventa e nove milhões novecentos e noventa e nove mil e "
               "novecentos e noventa e nove"));
}

TEST(OliraNumbers, OrdinalsAgreeInGender) {
  EXPECT_EQ(ordinal(2, Gender::masculine), "segundo");
  EXPECT_EQ(ordinal(2, Gender::feminine), "segunda");
  EXPECT_EQ(ordinal(21, Gender::masculine), cp("vigésimo primeiro"));
  EXPECT_EQ(ordinal(21, Gender::feminine), cp("vigésima primeira"));
  EXPECT_EQ(ordinal(1000, Gender::masculine), cp("milésimo"));
  EXPECT_EQ(ordinal(1999, Gender::masculine),
            cp("milésimo nongentésimo nonagésimo nono"));
  EXPECT_EQ(ordinal(2000, Gender::masculine), "dois mil ");
  EXPECT_EQ(ordinal(0, Gender::feminine), "zero");
}

TEST(OliraNumbers, OrdinalMarkersAreConsumed) {
  size_t end;
  EXPECT_EQ(read("2º x", 0, &end), "segundo");
  EXPECT_EQ(end, 2u);
  EXPECT_EQ(read("2ª"), "segunda");
  EXPECT_EQ(read("3as. vezes", 0, &end), "terceiras");
  EXPECT_EQ(end, 4u);
  EXPECT_EQ(read("1o. lugar"), "primeiro");
  EXPECT_EQ(read("21as."), cp("vigésimas primeiras"));
}

TEST(OliraNumbers, LeadingZerosAndThousandsDots) {
  EXPECT_EQ(read("0800"), "zero oitocentos");
  EXPECT_EQ(read("007"), "zero zero sete");
  size_t end;
  EXPECT_EQ(read("3.500 reais", 0, &end), cp("três mil e quinhentos"));
  EXPECT_EQ(end, 5u);
  EXPECT_EQ(read("3.5", 0, &end), cp("três"));
  EXPECT_EQ(end, 1u);
  EXPECT_EQ(read("3.5000", 0, &end), cp("três"));  // four digits: no separator
  EXPECT_EQ(read("1.234.567"), cp("um milhão duzentos e trinta e quatro mil e quinhentos e sessenta e sete"));
}

TEST(OliraNumbers, DashedNumbersAreReadDigitByDigit) {
  size_t end;
  EXPECT_EQ(read("555-1234 ok", 0, &end),
            cp("cinco cinco cinco traço um dois três quatro"));
  EXPECT_EQ(end, 8u);
}

TEST(OliraNumbers, SixteenDigitsAndMoreAreReadDigitByDigit) {
  size_t end;
  std::string thirty = "123456789012345678901234567890";
  std::string words = read(thirty.c_str(), 0, &end);
  EXPECT_EQ(end, thirty.size());
  EXPECT_EQ(words.substr(0, 25), cp("um dois três quatro cinco"));
  EXPECT_EQ(std::count(words.begin(), words.end(), ' '), 29);
  // Fifteen digits are still one number.
  EXPECT_EQ(read("100000000000000"), cp("cem trilhões "));
  EXPECT_EQ(read("1.000.000.000.000.000", 0, &end).substr(0, 7), "um zero");
  EXPECT_EQ(end, 21u);
}
