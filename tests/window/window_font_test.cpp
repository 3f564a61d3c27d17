// The window's font: a file path, an installed face found by its name, or
// the default monospaced face when the one asked for is not installed; and
// the size that fits a cell.
#include <gtest/gtest.h>

#include <filesystem>

#include "frontends/window_state.h"

namespace varlo {
namespace {

constexpr const char* kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

TEST(WindowFont, FaceNamesFileNamesAndTheDefault) {
  ASSERT_TRUE(std::filesystem::exists(kMono)) << "fonts-dejavu-core is not installed";
  EXPECT_EQ(fontFileFor(kMono), kMono);
  EXPECT_EQ(fontFileFor("DejaVu Sans Mono"), kMono);
  EXPECT_EQ(fontFileFor("dejavu sans mono"), kMono);
  EXPECT_NE(fontFileFor("DejaVu Serif").find("DejaVuSerif.ttf"), std::string::npos);
  EXPECT_EQ(fontFileFor("Lucida Console"), kMono) << "a face that is not installed";
  EXPECT_EQ(fontFileFor(""), kMono);
  EXPECT_EQ(fontFileFor("/nao/existe.ttf"), kMono);
}

TEST(WindowFont, TheLineFitsTheCell) {
  ASSERT_EQ(TTF_Init(), 0);
  for (int height : {8, 20, 29, 60}) {
    int size = 0;
    TTF_Font* font = openFontForCell(kMono, height, size);
    ASSERT_NE(font, nullptr) << height;
    EXPECT_LE(TTF_FontHeight(font), height);
    EXPECT_GE(TTF_FontHeight(font), height * 3 / 4) << "the font is not needlessly small";
    TTF_CloseFont(font);
  }
  int size = 0;
  EXPECT_EQ(openFontForCell("/nao/existe.ttf", 20, size), nullptr);
  TTF_Quit();
}

}  // namespace
}  // namespace varlo
