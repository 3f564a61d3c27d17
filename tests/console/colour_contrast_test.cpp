// Contrast of what the program draws: the WCAG ratio itself, every default
// colour pair against the standard palette, and the high-contrast presets
// over every attribute a cell can have.
#include <cmath>

#include "console/colour_scheme.h"
#include "console_fixture.h"

namespace varlo {
namespace {

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255};

bool same(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

class ColourContrast : public ConsoleTest {
 protected:
  void TearDown() override { usePreset(ColourPreset::standard); }
  static void usePreset(ColourPreset preset, std::array<int, 16> map = kIdentityMap) {
    VideoSettings s{map};
    s.preset = preset;
    applyVideoSettings(s);
  }
  static constexpr std::array<int, 16> kIdentityMap = {0, 1, 2, 3, 4, 5, 6, 7,
                                                       8, 9, 10, 11, 12, 13, 14, 15};
};

TEST_F(ColourContrast, RatioFollowsWcag) {
  EXPECT_NEAR(contrastRatio(kWhite, kBlack), 21.0, 1e-9);
  EXPECT_NEAR(contrastRatio(kBlack, kWhite), 21.0, 1e-9) << "either order";
  EXPECT_NEAR(contrastRatio(kWhite, {0, 0, 255}), 8.59, 0.01);
  EXPECT_NEAR(contrastRatio(kWhite, {255, 0, 0}), 4.00, 0.01);
  EXPECT_NEAR(contrastRatio({119, 119, 119}, kWhite), 4.48, 0.01);   // the 0.03928 knee below
  EXPECT_NEAR(contrastRatio({5, 5, 5}, {5, 5, 5}), 1.0, 1e-9);
}

TEST_F(ColourContrast, EveryDefaultPairReachesSevenToOne) {
  for (const ColourPair& pair : scheme::all) {
    double ratio = contrastRatio(colourRgb(pair.text), colourRgb(pair.background));
    EXPECT_GE(ratio, 7.0) << "text " << pair.text << " on " << pair.background;
  }
}

TEST_F(ColourContrast, TheStandardPresetDrawsTheUsersOwnColours) {
  // A table that swaps blue and red and puts black text on dark grey: kept
  // as the user set it, whatever its contrast.
  usePreset(ColourPreset::standard, {0, 4, 2, 3, 1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
  CellColours c = cellColours(0x41);
  EXPECT_TRUE(same(c.text, colourRgb(1)));
  EXPECT_TRUE(same(c.text, Rgb{255, 0, 0}));
  EXPECT_TRUE(same(c.background, Rgb{0, 0, 255}));
  c = cellColours(0x80);
  EXPECT_TRUE(same(c.text, kBlack));
  EXPECT_TRUE(same(c.background, Rgb{40, 40, 40}));
}

// Under a preset every cell is in its two colours: light on dark where the
// palette's text is the lighter, the other way where it is the darker (a
// chosen entry, a cursor), and hidden text stays hidden.
TEST_F(ColourContrast, PresetsGiveEveryCellTheirPairAndKeepInverseVideo) {
  for (ColourPreset preset : {ColourPreset::yellowOnBlack, ColourPreset::whiteOnBlack}) {
    Rgb light = preset == ColourPreset::yellowOnBlack ? Rgb{255, 255, 0} : kWhite;
    for (int text = 0; text < 16; ++text)
      for (int background = 0; background < 16; ++background) {
        usePreset(ColourPreset::standard);
        Rgb t = colourRgb(text), b = colourRgb(background);
        usePreset(preset);
        CellColours c = cellColours(static_cast<uint8_t>(background << 4 | text));
        SCOPED_TRACE(std::to_string(text) + " on " + std::to_string(background));
        if (same(t, b)) {
          EXPECT_TRUE(same(c.text, c.background));
          continue;
        }
        EXPECT_GE(contrastRatio(c.text, c.background), 7.0);
        bool lighterText = relativeLuminance(t) >= relativeLuminance(b);
        EXPECT_TRUE(same(lighterText ? c.text : c.background, light));
        EXPECT_TRUE(same(lighterText ? c.background : c.text, kBlack));
      }
  }
}

}  // namespace
}  // namespace varlo
