// The record of one edit and the changes made to its text, free of screen
// and speech so that each rule can be tried alone.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varlo {

struct EditState {
  std::string value;      // padded with spaces to maxLength while editing
  std::string starting;   // the padded value as it was (Ctrl+U)
  int x = 1, y = 1;       // screen position of the first visible column
  bool editable = true;
  int width = 1;          // visible columns
  int maxLength = 1;
  int position = 1;       // cursor, 1-based; maxLength + 1 after the end
  int offset = 1;         // first visible position
  int selStart = 0, selEnd = 0;   // 0 when unset
  bool firstKey = true;
};

// The set-up of an edit: lengths limited, the bottom-right cell kept free,
// the value cut and padded.
EditState startEdit(std::string_view value, int x, int y, bool editable, int width,
                    int maxLength, int windowWidth, int windowHeight);

uint8_t charAt(const EditState& e, int position);   // ' ' outside the value
int textEnd(const EditState& e);                      // just after the last non-space
bool hasSelection(const EditState& e);
int selectionFrom(const EditState& e);                // smaller end
int selectionTo(const EditState& e);                  // larger end (excluded)
void clearSelection(EditState& e);
void keepCursorVisible(EditState& e);
// A braille routing key above the text window column given (1-based): the
// cursor goes to the character there, or just after the text when the key
// is past it; a key outside the field leaves the cursor.
void routeCursor(EditState& e, int column);

// Insert at the cursor (the last character falls off); false when the
// cursor is past the maximum length.
bool insertAtCursor(EditState& e, uint8_t byte);
// Remove the character at a position, a space filling the end; returns it.
uint8_t removeAt(EditState& e, int position);
void blankFrom(EditState& e, int position);           // Ctrl+D
void removeBefore(EditState& e, int position);        // Ctrl+S
void blankAll(EditState& e);

// Words are runs of letters (A-Z, a-z, 128-255) or runs of digits.
bool isWordChar(uint8_t c);
// Start of the word before the position, 0 when there is none.
int previousWordStart(const EditState& e, int position);
// Start of the next word after the one at the position, 0 when none.
int nextWordStart(const EditState& e, int position);
// Where Ctrl+Backspace starts deleting, and how many characters go.
int wordDeleteStart(const EditState& e);
int wordDeleteCount(const EditState& e, int from);

// What F1 reads at the cursor.
enum class WordKind { none, number, word, other };
struct WordAtCursor {
  WordKind kind = WordKind::none;
  std::string text;
  int end = 0;   // position just after it
};
WordAtCursor wordAt(const EditState& e, int position);
// The word F12 opens: between spaces, with brackets, quotes and punctuation
// trimmed from both ends; "" when nothing remains.
std::string addressAt(const EditState& e, int position);

// Clipboard texts.
std::string copiedText(const EditState& e);
// Paste: text up to its first line end, replacing the selection; the
// selection then covers what was pasted.
void pasteInto(EditState& e, std::string_view clipboard);

std::string trimmedRight(std::string_view text);

}  // namespace varlo

// Stages of the editor shared by its files.
namespace varlo {
struct KeyPress;
// Show the visible part of the value, the selection highlighted, and put the
// cursor on the position.
void drawField(const EditState& e);
// Handle one key; true when the key ends the edit.
bool handleExtendedKey(EditState& e, const KeyPress& k);
bool handleCharacterKey(EditState& e, const KeyPress& k);
}  // namespace varlo
