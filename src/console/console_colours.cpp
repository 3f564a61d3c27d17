// Colours: the 16-entry palette, the colour map that the user's TABCORES
// setting rearranges, the colour lock (CORESFIXAS), the start colours and
// the high-contrast presets (PALETA).
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "base/config.h"
#include "console/colour_scheme.h"
#include "console/console_core.h"
#include "base/plain_text.h"

namespace varlo {

namespace {

constexpr std::array<Rgb, 16> kPalette = {{
    {0, 0, 0},       {0, 0, 255},     {0, 255, 0},     {0, 255, 255},
    {255, 0, 0},     {142, 0, 142},   {68, 34, 34},    {192, 192, 192},
    {40, 40, 40},    {128, 128, 255}, {128, 255, 128}, {128, 255, 255},
    {255, 128, 128}, {255, 128, 255}, {255, 255, 0},   {255, 255, 255},
}};

struct Preset {
  const char* name;
  Rgb text, background;
};

constexpr Preset kPresets[] = {{"PADRAO", {0, 0, 0}, {0, 0, 0}},
                               {"AMARELO", {255, 255, 0}, {0, 0, 0}},
                               {"BRANCO", {255, 255, 255}, {0, 0, 0}}};

struct Colours {
  std::array<int, 16> map{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  bool fixed = false;
  ColourPreset preset = ColourPreset::standard;
} colours;

bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

double linear(uint8_t channel) {
  double c = channel / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// The console's keys are read as a fixed 80-byte buffer would hold them.
std::string videoSetting(std::string_view key) {
  std::string value = readRawSetting("VIDEO", key);
  if (value.size() > 79) value.resize(79);
  return value;
}

bool firstLetterIsS(std::string_view value) {
  return !value.empty() && std::toupper(static_cast<unsigned char>(value[0])) == 'S';
}

// A colour index setting: missing, empty or not a number 0-15 gives the
// fallback.
int colourIndex(std::string_view key, int fallback) {
  std::string value = videoSetting(key);
  std::string_view text = trimSpaces(value);
  int index = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return fallback;
  return index >= 0 && index < 16 ? index : fallback;
}

// Leading digits of an entry that is not a whole integer (0 when none).
int leadingDigits(std::string_view entry) {
  int value = 0;
  for (char c : entry) {
    if (c < '0' || c > '9' || value > 100000) break;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

void parseColourTable(std::string_view text, std::array<int, 16>& map) {
  for (size_t i = 0; i < map.size(); ++i) {
    size_t comma = text.find(',');
    std::string_view entry = trimSpaces(text.substr(0, comma));
    int value = 0;
    auto [end, error] = std::from_chars(entry.data(), entry.data() + entry.size(), value);
    if (entry.empty() || error != std::errc() || end != entry.data() + entry.size()) {
      map[i] = leadingDigits(entry);
      return;
    }
    map[i] = value;
    if (comma == std::string_view::npos) return;
    text.remove_prefix(comma + 1);
  }
}

VideoSettings readVideoSettings() {
  VideoSettings s;
  s.colourMap = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  // A missing key reads as empty; the identity table is its default.
  std::string table = videoSetting("TABCORES");
  if (!table.empty()) parseColourTable(table, s.colourMap);
  s.coloursFixed = firstLetterIsS(videoSetting("CORESFIXAS"));
  s.smoothScroll = firstLetterIsS(videoSetting("LENTO"));
  s.startAttribute = static_cast<uint8_t>(colourIndex("CORFUNDO", scheme::screen.background) << 4 |
                                          colourIndex("CORLETRA", scheme::screen.text));
  s.preset = colourPresetNamed(videoSetting("PALETA"));
  return s;
}

void applyVideoSettings(const VideoSettings& settings) {
  colours.map = settings.colourMap;
  colours.fixed = settings.coloursFixed;
  colours.preset = settings.preset;
}

void reloadVideoSettings() {
  const FrontEnd& fe = frontEnd();
  applyVideoSettings(readVideoSettings());
  if (fe.videoSettingsChanged) fe.videoSettingsChanged();
  fe.refresh();
}

void setTextColor(int index) {
  openConsole();
  if (colours.fixed) return;
  setAttribute(static_cast<uint8_t>((currentAttribute() & 0xF0) | (index & 0x0F)));
}

// An index above 15 would spill into the foreground nibble; only the low
// four bits are taken.
void setBackgroundColor(int index) {
  openConsole();
  if (colours.fixed) return;
  setAttribute(static_cast<uint8_t>((currentAttribute() & 0x0F) | ((index & 0x0F) << 4)));
}

Rgb colourRgb(int index) {
  openConsole();
  if (index < 0 || index > 15) return kPalette[0];
  int entry = colours.map[index];
  return entry >= 0 && entry < 16 ? kPalette[entry] : Rgb{0, 0, 0};
}

double relativeLuminance(Rgb c) {
  return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

double contrastRatio(Rgb a, Rgb b) {
  double la = relativeLuminance(a), lb = relativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

ColourPreset colourPresetNamed(std::string_view name) {
  name = trimSpaces(name);
  char first = name.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
  if (first == 'A') return ColourPreset::yellowOnBlack;
  if (first == 'B') return ColourPreset::whiteOnBlack;
  return ColourPreset::standard;
}

std::string_view colourPresetName(ColourPreset preset) {
  return kPresets[static_cast<size_t>(preset)].name;
}

ColourPreset colourPreset() { return colours.preset; }

// Under a preset the darker colour of a cell becomes the preset's
// background and the lighter its text; a cell in one colour (text hidden on
// purpose) stays in one.
CellColours cellColours(uint8_t attribute) {
  Rgb text = colourRgb(attribute & 0x0F), background = colourRgb(attribute >> 4);
  if (colours.preset == ColourPreset::standard) return {text, background};
  const Preset& p = kPresets[static_cast<size_t>(colours.preset)];
  if (text == background) return {p.background, p.background};
  if (relativeLuminance(text) >= relativeLuminance(background)) return {p.text, p.background};
  return {p.background, p.text};
}

}  // namespace varlo
