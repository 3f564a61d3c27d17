// Links between the console core's own files (grid, colours, keys, input,
// window life). Tests include it to reach the stages directly.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "console/colour_scheme.h"
#include "console/console_front_end.h"

namespace varlo {

// The front end in use; opens the console first when needed.
const FrontEnd& frontEnd();

// Creation of the grid: spaces in the attribute given, the text window the
// whole grid, the cursor at its top-left corner.
void resetGrid(uint8_t attribute);

// The [VIDEO] settings that apply to a character console.
struct VideoSettings {
  std::array<int, 16> colourMap;   // palette entry per colour index
  bool coloursFixed = false;       // CORESFIXAS: colour operations do nothing
  bool smoothScroll = false;       // LENTO (no use in a character terminal)
  uint8_t startAttribute = 0x0F;   // CORFUNDO and CORLETRA
  ColourPreset preset = ColourPreset::standard;   // PALETA
};
VideoSettings readVideoSettings();
// Colour map and colour lock only; the start attribute is resetGrid's.
void applyVideoSettings(const VideoSettings& settings);
// Fill the colour map from a TABCORES value: up to 16 comma-separated
// integers; an entry that is not an integer is stored as its leading
// digits (0 when none) and ends the reading; the rest keep what they hold.
void parseColourTable(std::string_view text, std::array<int, 16>& map);

// Take the first queued byte; false when the queue is empty.
bool takeKey(uint8_t& code);
// Move injected keys into the key queue while whole keys fit.
void moveInjectedKeys();

}  // namespace varlo
