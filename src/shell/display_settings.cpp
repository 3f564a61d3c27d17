// Option A's window and low-vision fields: read from [VIDEO] and
// [BAIXAVISAO], normalised, stored, said when changed and put in force.
#include "shell/display_settings.h"

#include <algorithm>
#include <charconv>

#include "base/codepage.h"
#include "base/config.h"
#include "base/ini_file.h"
#include "base/plain_text.h"
#include "console/colour_scheme.h"
#include "frontends/braille_display.h"
#include "speech/speech.h"
#include "widgets/form.h"

namespace varlo {

namespace {

// Labels as the form shows them; the changes are said with their words.
constexpr const char* kWindow = "Janela gráfica (sim ou não) : ";
constexpr const char* kFont = "Fonte da janela : ";
constexpr const char* kWidth = "Largura da letra (0 automática) : ";
constexpr const char* kHeight = "Altura da letra (0 automática) : ";
constexpr const char* kColours = "Cores (padrão, amarelo, branco) : ";
constexpr const char* kThickness = "Espessura do cursor (1 a 100%) : ";
constexpr const char* kBlinks = "Cursor piscante (sim ou não) : ";
constexpr const char* kZoom = "Ampliação (0 desliga, até 10) : ";
constexpr const char* kZoomText = "Cor da letra ampliada (0 a 15) : ";
constexpr const char* kZoomBackground = "Cor do fundo ampliado (0 a 15) : ";
constexpr const char* kZoomCursor = "Cor do cursor ampliado (0 a 15) : ";
constexpr const char* kBrailleLine = "Linha braille (sim ou não) : ";
constexpr const char* kBrailleTable = "Tabela braille : ";

int settingNumber(std::string_view section, std::string_view key, int low, int high, int fallback) {
  std::string v = std::string(trimSpaces(readSetting(section, key)));
  int value = 0;
  auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
  bool whole = !v.empty() && ec == std::errc() && end == v.data() + v.size();
  return whole && value >= low && value <= high ? value : fallback;
}

std::string yesNo(std::string_view value) {
  std::string_view t = trimSpaces(value);
  return !t.empty() && (t[0] == 'S' || t[0] == 's') ? "SIM" : "NAO";
}

int within(int value, int low, int high, int fallback) {
  return value >= low && value <= high ? value : fallback;
}

std::string sizeText(int pixels) { return pixels > 0 ? std::to_string(pixels) : ""; }

// The label's words without the colon, for saying a change.
std::string said(const char* label, const std::string& value) {
  std::string words(label);
  words.resize(words.rfind(" : "));
  return utf8ToCp1252(words) + ": " + value;
}

bool storeBrailleFields(const std::string& file, const DisplayFields& f) {
  return writeIniSection(file, "BRAILLE", {{"LINHA", f.brailleLine}, {"TABELA", f.brailleTable}});
}

}  // namespace

DisplayFields currentDisplayFields() {
  const ColourPair band = scheme::magnifier;
  DisplayFields f;
  f.window = yesNo(readSetting("VIDEO", "JANELA"));
  f.font = readSetting("VIDEO", "FONTE");
  f.letterWidth = settingNumber("VIDEO", "LARGURALETRA", 1, 200, 0);
  f.letterHeight = settingNumber("VIDEO", "ALTURALETRA", 1, 200, 0);
  f.colours = colourPresetName(colourPresetNamed(readSetting("VIDEO", "PALETA")));
  f.caretThickness = settingNumber("VIDEO", "ESPESSURACURSOR", 1, 100, 100);
  f.caretBlinks = yesNo(readSetting("VIDEO", "CURSORPISCANTE"));
  // Missing: off; present but not 0-10: 3, as the magnifier reads it.
  bool zoomGiven = !readSetting("BAIXAVISAO", "AMPLIACAO").empty();
  f.zoom = settingNumber("BAIXAVISAO", "AMPLIACAO", 0, 10, zoomGiven ? 3 : 0);
  f.zoomText = settingNumber("BAIXAVISAO", "CORLETRA", 0, 15, band.text);
  f.zoomBackground = settingNumber("BAIXAVISAO", "CORFUNDO", 0, 15, band.background);
  f.zoomCursor = settingNumber("BAIXAVISAO", "CORCURSOR", 0, 15, f.zoomText);
  f.brailleLine = brailleLineWanted() ? "SIM" : "NAO";
  f.brailleTable = brailleTableSetting();
  return f;
}

void normaliseDisplayFields(DisplayFields& f) {
  f.window = yesNo(f.window);
  f.font = std::string(trimSpaces(f.font));
  f.letterWidth = within(f.letterWidth, 0, 200, 0);
  f.letterHeight = within(f.letterHeight, 0, 200, 0);
  f.colours = colourPresetName(colourPresetNamed(f.colours));
  f.caretThickness = within(f.caretThickness, 1, 100, 100);
  f.caretBlinks = yesNo(f.caretBlinks);
  f.zoom = std::clamp(f.zoom, 0, 10);
  f.zoomText = within(f.zoomText, 0, 15, scheme::magnifier.text);
  f.zoomBackground = within(f.zoomBackground, 0, 15, scheme::magnifier.background);
  f.zoomCursor = within(f.zoomCursor, 0, 15, f.zoomText);
  f.brailleLine = yesNo(f.brailleLine);
  f.brailleTable = std::string(trimSpaces(f.brailleTable));
  if (f.brailleTable.empty()) f.brailleTable = kDefaultBrailleTable;
}

void addDisplayFields(DisplayFields& f) {
  auto choice = [](const char* key, const char* label, std::string& value, const char* allowed) {
    addChoiceField(key, utf8ToCp1252(label), value, allowed, 8);
  };
  auto number = [](const char* key, const char* label, int& value) {
    addIntegerField(key, utf8ToCp1252(label), value);
  };
  choice("VLJANGRA", kWindow, f.window, "SIM|NAO");
  addTextField("VLFONJAN", utf8ToCp1252(kFont), f.font, 64);
  number("VLLARLET", kWidth, f.letterWidth);
  number("VLALTLET", kHeight, f.letterHeight);
  choice("VLPALCOR", kColours, f.colours, "PADRAO|AMARELO|BRANCO");
  number("VLESPCUR", kThickness, f.caretThickness);
  choice("VLCURPIS", kBlinks, f.caretBlinks, "SIM|NAO");
  number("VLAMPLIA", kZoom, f.zoom);
  number("VLCORAMP", kZoomText, f.zoomText);
  number("VLFUNAMP", kZoomBackground, f.zoomBackground);
  number("VLCURAMP", kZoomCursor, f.zoomCursor);
  choice("VLLINBRA", kBrailleLine, f.brailleLine, "SIM|NAO");
  addTextField("VLTABBRA", utf8ToCp1252(kBrailleTable), f.brailleTable, 64);
}

bool storeDisplayFields(const DisplayFields& f) {
  const std::string file = userConfigFile();
  return writeIniSection(file, "VIDEO",
                         {{"JANELA", f.window},
                          {"FONTE", f.font},
                          {"LARGURALETRA", sizeText(f.letterWidth)},
                          {"ALTURALETRA", sizeText(f.letterHeight)},
                          {"PALETA", f.colours},
                          {"ESPESSURACURSOR", std::to_string(f.caretThickness)},
                          {"CURSORPISCANTE", f.caretBlinks}}) &&
         writeIniSection(file, "BAIXAVISAO",
                         {{"AMPLIACAO", std::to_string(f.zoom)},
                          {"CORLETRA", std::to_string(f.zoomText)},
                          {"CORFUNDO", std::to_string(f.zoomBackground)},
                          {"CORCURSOR", std::to_string(f.zoomCursor)}}) &&
         storeBrailleFields(file, f);
}

std::vector<std::string> displayChanges(const DisplayFields& a, const DisplayFields& b) {
  std::vector<std::string> lines;
  auto text = [&](const char* label, const std::string& was, const std::string& is) {
    if (was != is) lines.push_back(said(label, is.empty() ? utf8ToCp1252("padrão") : is));
  };
  auto number = [&](const char* label, int was, int is) {
    if (was != is) lines.push_back(said(label, std::to_string(is)));
  };
  text(kWindow, a.window, b.window);
  if (a.window != b.window) lines.back() += utf8ToCp1252(", na próxima vez que o programa abrir");
  text(kFont, a.font, b.font);
  number(kWidth, a.letterWidth, b.letterWidth);
  number(kHeight, a.letterHeight, b.letterHeight);
  text(kColours, a.colours, b.colours);
  number(kThickness, a.caretThickness, b.caretThickness);
  text(kBlinks, a.caretBlinks, b.caretBlinks);
  number(kZoom, a.zoom, b.zoom);
  number(kZoomText, a.zoomText, b.zoomText);
  number(kZoomBackground, a.zoomBackground, b.zoomBackground);
  number(kZoomCursor, a.zoomCursor, b.zoomCursor);
  text(kBrailleLine, a.brailleLine, b.brailleLine);
  text(kBrailleTable, a.brailleTable, b.brailleTable);
  return lines;
}

void applyDisplaySettings() {
  reloadVideoSettings();
  applyMagnifierSettings();
  applyBrailleSettings();
}

}  // namespace varlo
