// The colours the program draws with by default, one pair per use, and the
// colour presets a user with low vision may choose instead of the palette.
// Every default pair keeps a contrast of 7:1 or more with the standard
// palette (the chosen entry of a menu or list is its pair in inverse video,
// which has the same contrast).
#pragma once

#include <cstdint>
#include <string_view>

#include "console/console.h"

namespace varlo {

namespace colour {
constexpr int black = 0, blue = 1, green = 2, cyan = 3, red = 4, magenta = 5, brown = 6,
              lightGrey = 7, darkGrey = 8, lightBlue = 9, lightGreen = 10, lightCyan = 11,
              lightRed = 12, lightMagenta = 13, yellow = 14, white = 15;
}

struct ColourPair {
  int text, background;
};

namespace scheme {
constexpr ColourPair screen{colour::white, colour::black};       // [VIDEO] start colours
constexpr ColourPair heading{colour::white, colour::blue};       // prompts of menus and settings
constexpr ColourPair warning{colour::white, colour::brown};      // "no speech engine"
constexpr ColourPair formLabel{colour::white, colour::brown};
constexpr ColourPair formValue{colour::white, colour::black};
constexpr ColourPair formCurrent{colour::yellow, colour::black};
constexpr ColourPair selection{colour::yellow, colour::darkGrey};   // marked text in a field
constexpr ColourPair menu{colour::white, colour::magenta};
constexpr ColourPair listMarked{colour::green, colour::black};
constexpr ColourPair chooserFile{colour::white, colour::brown};
constexpr ColourPair chooserFolder{colour::cyan, colour::brown};
constexpr ColourPair chooserMarked{colour::green, colour::brown};
constexpr ColourPair magnifier{colour::yellow, colour::brown};   // [BAIXAVISAO] defaults

constexpr ColourPair all[] = {screen,    heading,       formLabel,     formValue,
                              formCurrent, selection,   menu,          listMarked,
                              chooserFile, chooserFolder, chooserMarked, magnifier, warning};
}  // namespace scheme

// WCAG 2 relative luminance (0 to 1) and contrast ratio (1 to 21).
double relativeLuminance(Rgb c);
double contrastRatio(Rgb a, Rgb b);

// Presets, [VIDEO] PALETA: the palette as it is, or every cell in one
// high-contrast pair, light on dark, dark on light where the palette's
// colours are (chosen entries, cursors) so that inverse video still shows.
enum class ColourPreset { standard, yellowOnBlack, whiteOnBlack };
// "PADRAO", "AMARELO", "BRANCO" (first letter, any case); standard otherwise.
ColourPreset colourPresetNamed(std::string_view name);
std::string_view colourPresetName(ColourPreset preset);
ColourPreset colourPreset();

// A cell's colours as the front ends draw them.
struct CellColours { Rgb text, background; };
CellColours cellColours(uint8_t attribute);

}  // namespace varlo
