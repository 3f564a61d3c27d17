// The window and low-vision part of option A: the window front end, its
// font and size, the colour preset, the cursor and the magnifier
// ([VIDEO] and [BAIXAVISAO] of the user's Murena.ini) and the braille
// display ([BRAILLE] LINHA and TABELA), set without editing
// a file and put in force at once where the running window allows.
#pragma once

#include <string>
#include <vector>

namespace varlo {

struct DisplayFields {
  std::string window;              // [VIDEO] JANELA, "SIM" or "NAO"
  std::string font;                // [VIDEO] FONTE
  int letterWidth = 0, letterHeight = 0;   // LARGURALETRA, ALTURALETRA; 0: by the screen
  std::string colours;             // PALETA
  int caretThickness = 100;        // ESPESSURACURSOR, percent of the cell
  std::string caretBlinks;         // CURSORPISCANTE
  int zoom = 0;                    // [BAIXAVISAO] AMPLIACAO; 0: off
  int zoomText = 14, zoomBackground = 6, zoomCursor = 14;   // CORLETRA, CORFUNDO, CORCURSOR
  std::string brailleLine;         // [BRAILLE] LINHA, "SIM" or "NAO"
  std::string brailleTable;        // [BRAILLE] TABELA, the liblouis table
};

DisplayFields currentDisplayFields();
// The fields, after the settings form, as they will be stored: yes/no as
// "SIM"/"NAO", the preset by its name, numbers brought into their ranges.
void normaliseDisplayFields(DisplayFields& fields);
// Adds the fields to the form being built.
void addDisplayFields(DisplayFields& fields);
// Writes [VIDEO], [BAIXAVISAO] and the display's [BRAILLE] keys; false when the file could not be written.
bool storeDisplayFields(const DisplayFields& fields);
// What changed, one line per setting ("Cores: AMARELO"), to be said.
std::vector<std::string> displayChanges(const DisplayFields& before, const DisplayFields& after);
// Puts the stored settings in force: colours, cursor, font, magnifier,
// braille display.
void applyDisplaySettings();

}  // namespace varlo
