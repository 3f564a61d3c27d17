// The magnifier's slice: how many characters fit, how the slice follows the
// cursor, what is highlighted; where the band goes; the zoom keys.
#include "console/magnifier.h"

#include <gtest/gtest.h>

#include <string>

#include "console/console.h"

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

TEST(MagnifierSlice, AnEntryShowsFromItsFirstNonBlankCharacter) {
  // A menu entry's indent takes none of the band's twenty characters.
  std::string entry = "  C   Converter para audio";
  int first = 1;
  EXPECT_EQ(whole(magnifiedSlice(entry, 1, 20, first)), "C   Converter para a");
  EXPECT_EQ(first, 3);
  // A blank entry shows blanks; a cursor on the indent keeps it in view.
  first = 1;
  EXPECT_EQ(whole(magnifiedSlice("    ", 1, 8, first)), std::string(8, ' '));
  first = 1;
  MagnifiedSlice s = magnifiedSlice(entry, 3, 20, first);
  EXPECT_EQ(first, 2);
  EXPECT_EQ(s.cursor, " ");
  EXPECT_EQ(s.after.substr(0, 1), "C");
}

// For every focus row and zoom the band lies wholly in the other half of
// the window: it never covers the row it magnifies.
TEST(MagnifierBandPlace, TheBandStaysInTheHalfAwayFromTheFocus) {
  for (int zoom = 1; zoom <= 10; ++zoom)
    for (int focus = 1; focus <= 25; ++focus) {
      int row = magnifierBandRow(focus, zoom, 1);
      SCOPED_TRACE("zoom " + std::to_string(zoom) + ", focus row " + std::to_string(focus));
      EXPECT_GE(row, 1);
      EXPECT_LE(row + zoom - 1, 25);
      if (focus <= 12)
        EXPECT_GT(row, 12);
      else
        EXPECT_LT(row + zoom - 1, 13);
    }
  EXPECT_EQ(magnifierBandRow(2, 4, 1), 22);
  EXPECT_EQ(magnifierBandRow(22, 4, 1), 1);
  // A band placed lower at the top keeps out of the lower half.
  EXPECT_EQ(magnifierBandRow(20, 4, 8), 8);
  EXPECT_EQ(magnifierBandRow(20, 4, 12), 9);
}

TEST(Magnifier, TheBandShowsOnlyWhileOnAndUntilCleared) {
  startMagnifier(1, 0);
  showMagnified("texto", 2, 5);
  EXPECT_EQ(magnifierBand(), nullptr) << "off: nothing drawn";
  setMagnifierColours(1, 2, 99);   // an index out of range: the text colour (inverse video)
  startMagnifier(1, 4);
  showMagnified("texto", 2, 5);
  const MagnifierBand* band = magnifierBand();
  ASSERT_NE(band, nullptr);
  EXPECT_EQ(band->zoom, 4);
  EXPECT_EQ(band->row, 22) << "focus in the upper half: band at the bottom";
  EXPECT_EQ(band->textColour, 1);
  EXPECT_EQ(band->backgroundColour, 2);
  EXPECT_EQ(band->cursorColour, 1);
  EXPECT_EQ(band->slice.cursor, "t");
  showMagnified("texto", 2, 20);
  EXPECT_EQ(magnifierBand()->row, 1);
  clearMagnified();
  EXPECT_EQ(magnifierBand(), nullptr);
  startMagnifier(1, 0);
}

TEST(Magnifier, ZoomKeysResliceTheBandWithinOneToTenAndSayTheZoom) {
  takeAnnouncement();
  startMagnifier(1, 0);
  changeMagnifierZoom(1);
  EXPECT_EQ(takeAnnouncement(), "Amplia\xe7\xe3o desligada");
  std::string text(40, 'a');
  text[29] = 'X';
  startMagnifier(1, 4);
  showMagnified(text, 31, 20);   // X highlighted, the slice moved to keep it
  ASSERT_EQ(magnifierBand()->slice.cursor, "X");
  changeMagnifierZoom(1);
  const MagnifierBand* band = magnifierBand();
  EXPECT_EQ(band->zoom, 5);
  EXPECT_EQ(whole(band->slice).size(), 16u) << "80 / 5 characters";
  EXPECT_EQ(band->slice.cursor, "X") << "the cursor's character stays in view";
  EXPECT_EQ(takeAnnouncement(), "Amplia\xe7\xe3o 5");
  for (int i = 0; i < 8; ++i) changeMagnifierZoom(1);
  EXPECT_EQ(magnifierBand()->zoom, 10);
  for (int i = 0; i < 12; ++i) changeMagnifierZoom(-1);
  EXPECT_EQ(magnifierBand()->zoom, 1);
  EXPECT_EQ(magnifierBand()->slice.cursor, "X");
  EXPECT_EQ(takeAnnouncement(), "Amplia\xe7\xe3o 1");
  clearMagnified();
  startMagnifier(1, 0);
}

}  // namespace
}  // namespace varlo
