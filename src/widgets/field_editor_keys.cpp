// What each key does in the field editor: movement said aloud, deletions
// announced, words read, the clock, the battery, speech speed and echo,
// selection, copy and paste, and typing.
#include <string>

#include "console/braille_line.h"
#include "console/console.h"
#include "widgets/field_editor.h"
#include "widgets/field_editor_input.h"
#include "widgets/field_editor_state.h"
#include "speech/number_reading.h"
#include "speech/speech.h"

namespace varlo {

namespace {

constexpr uint8_t kCopyKey = 3, kPasteKey = 22, kCtrlB = 2, kCtrlD = 4, kCtrlK = 11,
                  kCtrlS = 19, kCtrlU = 21, kCtrlY = 25, kCtrlBackslash = 28;
constexpr size_t kClipboardLimit = 65536;

bool isLetter(uint8_t c) { return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c >= 192; }

// Remove the character at a position; an announced deletion plays "_DEL"
// and says what went.
void deleteAt(EditState& e, int position, bool announced) {
  uint8_t removed = removeAt(e, position);
  drawField(e);
  if (!announced) return;
  playRecording("_DEL");
  sayChar(removed);
}

void deleteSelection(EditState& e) {
  int from = selectionFrom(e), count = selectionTo(e) - from;
  e.position = from;
  playRecording("_DEL");
  for (int i = 0; i < count; ++i) removeAt(e, from);
  clearSelection(e);
}

void deleteWord(EditState& e) {
  int from = wordDeleteStart(e);
  int count = wordDeleteCount(e, from);
  e.position = from;
  if (count <= 0) {
    beep();
    return;
  }
  for (int i = 0; i < count; ++i) deleteAt(e, from, i == 0);
}

void moveLeft(EditState& e) {
  if (e.position <= 1) {
    beep();
    return;
  }
  --e.position;
  sayChar(charAt(e, e.position));
}

void moveRight(EditState& e, bool alt) {
  if (e.position > e.maxLength) {
    beep();
    return;
  }
  uint8_t c = charAt(e, e.position);
  if (alt && isLetter(c))
    playRecording("_FON" + std::to_string(c));   // the letter's phonetic name
  else
    sayChar(c);
  ++e.position;
}

void moveWord(EditState& e, bool forward) {
  int to = forward ? nextWordStart(e, e.position) : previousWordStart(e, e.position);
  if (to) {
    e.position = to;
    click();
  } else {
    e.position = forward ? textEnd(e) : 1;
    beep();
  }
}

void readWord(EditState& e) {
  WordAtCursor w = wordAt(e, e.position);
  switch (w.kind) {
    case WordKind::none: beep(); return;
    case WordKind::number: speak(w.text); break;
    case WordKind::word: hasVowel(w.text) ? speak(w.text) : spell(w.text); break;
    case WordKind::other: spell(w.text); break;
  }
  e.position = w.end;
}

void openWord(const EditState& e) {
  std::string address = addressAt(e, e.position);
  if (address.empty())
    beep();
  else
    openAddress(address);
}

void toggleEcho() {
  bool& echo = speechOptions().echoKeys;
  echo = !echo;
  playRecording(echo ? "_FALACI" : "_FALDLG");
}

// The keys typed after "_VELOC" are said; the last one, a digit 1 to 5,
// becomes the speed of the recorded voice.
void changeSpeed() {
  playRecording("_VELOC");
  uint8_t k;
  do k = readKeySpeak();
  while (keyPending());
  if (k == key::Esc || k == key::Enter) return;
  if (k < '1' || k > '5') {
    beep();
    return;
  }
  std::string directory = soundDirectory();
  shutdownSpeech();
  initSpeech(k - '0', directory);
}

// A replacing first key clicks twice and blanks the field.
bool replacesContent(const EditState& e) {
  return e.firstKey && speechOptions().firstKeyReplaces && e.editable &&
         textEnd(e) > e.position;
}

void copyField(const EditState& e) {
  if (copyText(copiedText(e)))
    speak("copiado");
  else
    beep();
}

void pasteField(EditState& e) {
  if (!e.editable) return;
  std::string text = pasteText(kClipboardLimit);
  if (e.firstKey && speechOptions().firstKeyReplaces) {
    click();
    click();
    blankAll(e);
  }
  pasteInto(e, text);
  if (text.empty())
    beep();
  else
    speak(text);   // what came in, since the user cannot see it
}

void typeByte(EditState& e, uint8_t b) {
  if (b < 32 || !e.editable) return;
  if (replacesContent(e)) {
    click();
    click();
    blankAll(e);
  }
  if (!insertAtCursor(e, b)) {
    beep();
    return;
  }
  drawField(e);
  if (speechOptions().echoKeys) sayChar(b);
}

// Keys that change the text do nothing in a read-only field.
void changeText(EditState& e, uint8_t b) {
  if (!e.editable) return;
  switch (b) {
    case key::Backspace:
      if (e.position <= 1) {
        beep();
        return;
      }
      --e.position;
      deleteAt(e, e.position, true);
      break;
    case key::CtrlBackspace: deleteWord(e); break;
    case kCtrlD:
      blankFrom(e, e.position);
      playRecording("_APFCPO");
      break;
    case kCtrlS:
      removeBefore(e, e.position);
      e.position = 1;
      playRecording("_APICPO");
      break;
    case kCtrlU:
      e.value = e.starting;
      e.position = 1;
      drawField(e);
      beep();
      beep();
      beep();
      break;
    case kCtrlY:
      blankAll(e);
      playRecording("_CPOAPA");
      e.position = 1;
      break;
    default: break;
  }
}

}  // namespace

bool handleExtendedKey(EditState& e, const KeyPress& k) {
  if (k.shift) {
    if (e.selStart == 0) e.selStart = e.position;
  } else if (k.code != key::ShiftInsert && k.code != key::CtrlInsert) {
    clearSelection(e);
  }
  switch (k.code) {
    case key::Home:
      e.position = 1;
      sayChar(charAt(e, 1));
      break;
    case key::End: e.position = textEnd(e); break;
    case key::Left: moveLeft(e); break;
    case key::Right: moveRight(e, k.alt); break;
    case key::CtrlLeft: moveWord(e, false); break;
    case key::CtrlRight: moveWord(e, true); break;
    case key::Delete:
      if (!e.editable) break;
      if (k.shift && hasSelection(e))
        deleteSelection(e);
      else if (e.position > e.maxLength)
        beep();
      else
        deleteAt(e, e.position, true);
      break;
    case key::Routing:
      routeCursor(e, routedColumn() - textWindow().left + 1);
      break;
    case key::F1: k.alt ? sayBattery() : readWord(e); break;
    case key::F4: toggleEcho(); break;
    case key::F8: sayTime(); break;
    case key::F12: openWord(e); break;
    case key::CtrlF1: speak(trimmedRight(e.value)); break;
    case key::CtrlF4: changeSpeed(); break;
    case key::CtrlF8: sayDate(); break;
    case key::CtrlF11: sayBattery(); break;
    case key::ShiftInsert: pasteField(e); break;
    case key::CtrlInsert: copyField(e); break;
    default:
      if (k.code >= 120 && k.code <= 129) break;   // Alt+digits
      return true;
  }
  return false;
}

bool handleCharacterKey(EditState& e, const KeyPress& k) {
  uint8_t b = k.byte;
  if (b != kCopyKey && b != kPasteKey && b != 222 && b != 223) clearSelection(e);
  bool clipboardKeysReturn = speechOptions().editorReturnsClipboardKeys;
  switch (b) {
    case key::Enter: case key::Esc: case key::Tab: case key::CtrlEnter: case kCtrlB:
      return true;
    case kCopyKey:
      if (clipboardKeysReturn) return true;
      copyField(e);
      break;
    case kPasteKey:
      if (clipboardKeysReturn) return true;
      pasteField(e);
      break;
    case key::Backspace: case key::CtrlBackspace: case kCtrlD: case kCtrlS: case kCtrlU:
    case kCtrlY:
      changeText(e, b);
      break;
    case kCtrlK: speak(std::to_string(e.position)); break;
    case kCtrlBackslash: dialTones(e.value); break;
    default: typeByte(e, b); break;
  }
  return false;
}

}  // namespace varlo
