// The order file names are listed in.
#include "base/name_order.h"

#include <gtest/gtest.h>

using namespace varlo;

TEST(NameOrder, DigitRunsByValueLettersWithoutCase) {
  std::vector<std::string> names = {"b.txt", "cap10.txt", "A.txt", "cap9.txt", "cap09b.txt",
                                    "cap009.txt", "99999999999999999999x", "1x", "cap.txt"};
  sortNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"1x", "99999999999999999999x", "A.txt", "b.txt",
                                             "cap.txt", "cap009.txt", "cap9.txt", "cap09b.txt",
                                             "cap10.txt"}));
  EXPECT_FALSE(nameComesBefore("x", "x"));
  EXPECT_TRUE(nameComesBefore("x", "x1"));
}
