// The magnifier's slice: how many characters fit, how the slice follows the
// cursor, what is highlighted.
#include "console/magnifier.h"

#include <gtest/gtest.h>

#include <string>

namespace varlo {
namespace {

std::string whole(const MagnifiedSlice& s) { return s.before + s.cursor + s.after; }

TEST(MagnifierSlice, TwentyCharactersFitAtZoomFourAndTheSliceFollowsTheCursor) {
  std::string text = "abcdefghijklmnopqrstuvwxyz0123456789";
  int first = 1;
  int width = 80 / 4;
  // Within the first twenty, the slice stays at the start.
  for (int k = 1; k <= 21; ++k) {
    MagnifiedSlice s = magnifiedSlice(text, k, width, first);
    EXPECT_EQ(first, 1) << k;
    EXPECT_EQ(whole(s), text.substr(0, 20)) << k;
  }
  // Past the twentieth, one character per step.
  for (int k = 22; k <= 30; ++k) {
    MagnifiedSlice s = magnifiedSlice(text, k, width, first);
    EXPECT_EQ(first, k - 20) << k;
    EXPECT_EQ(whole(s).size(), 20u);
    EXPECT_EQ(s.cursor, text.substr(k - 2, 1)) << k;
    EXPECT_EQ(s.cursor, whole(s).substr(19, 1)) << "the cursor stays at the band's end";
  }
  // Going back, the slice follows as soon as the cursor leaves it.
  MagnifiedSlice back = magnifiedSlice(text, 5, width, first);
  EXPECT_EQ(first, 4);
  EXPECT_EQ(back.before, "");
  EXPECT_EQ(back.cursor, "d");
}

TEST(MagnifierSlice, KOfOneHighlightsNothing) {
  int first = 7;
  MagnifiedSlice s = magnifiedSlice("menu entry", 1, 20, first);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(s.before, "");
  EXPECT_EQ(s.cursor, "");
  EXPECT_EQ(s.after, "menu entry" + std::string(10, ' '));
  first = 1;
  EXPECT_EQ(whole(magnifiedSlice("menu", 0, 20, first)), "menu" + std::string(16, ' '));
}

TEST(MagnifierSlice, CursorInsideAndPastTheText) {
  int first = 1;
  MagnifiedSlice s = magnifiedSlice("casa", 3, 8, first);   // the second character
  EXPECT_EQ(s.before, "c");
  EXPECT_EQ(s.cursor, "a");
  EXPECT_EQ(s.after, "sa    ");
  s = magnifiedSlice("casa", 6, 8, first);                  // after the end
  EXPECT_EQ(s.before, "casa");
  EXPECT_EQ(s.cursor, " ");
  EXPECT_EQ(s.after, "   ");
  first = 1;
  s = magnifiedSlice("", 40, 8, first);                     // nothing to show
  EXPECT_EQ(whole(s), std::string(8, ' '));
}

TEST(Magnifier, TheBandShowsOnlyWhileOnAndUntilCleared) {
  startMagnifier(1, 0);
  showMagnified("texto", 2);
  EXPECT_EQ(magnifierBand(), nullptr) << "off: nothing drawn";
  setMagnifierColours(1, 2, 99);   // an index out of range keeps the default
  startMagnifier(1, 4);
  showMagnified("texto", 2);
  const MagnifierBand* band = magnifierBand();
  ASSERT_NE(band, nullptr);
  EXPECT_EQ(band->zoom, 4);
  EXPECT_EQ(band->textColour, 1);
  EXPECT_EQ(band->backgroundColour, 2);
  EXPECT_EQ(band->cursorColour, 3);
  EXPECT_EQ(band->slice.cursor, "t");
  clearMagnified();
  EXPECT_EQ(magnifierBand(), nullptr);
  startMagnifier(1, 0);
}

}  // namespace
}  // namespace varlo
