// Searching the chooser's list by the start of a name, or by a part of it:
// the text is typed after "_BUSCAR" and kept for the next search.
#include <algorithm>

#include "console/console.h"
#include "widgets/file_chooser_state.h"
#include "speech/speech.h"

namespace varlo {

namespace {

std::string lastSearch;

std::string folded(std::string_view text) {
  std::string out;
  for (char c : text) out += static_cast<char>(foldByte(static_cast<uint8_t>(c)));
  return out;
}

// The text typed after "_BUSCAR"; false when cancelled with Esc.
bool askText(std::string& text) {
  playRecording("_BUSCAR");
  text.clear();
  for (;;) {
    KeyPress k = readKeyPress();
    stopSpeech();
    if (k.extended()) {
      beep();
    } else if (k.byte == key::Backspace) {
      if (text.empty()) {
        beep();
        continue;
      }
      playRecording("_DEL");
      sayChar(static_cast<uint8_t>(text.back()));
      text.pop_back();
    } else if (k.byte == key::Enter) {
      return true;
    } else if (k.byte == key::Esc) {
      text.clear();
      beep();
      beep();
      return false;
    } else if (k.byte >= 32 && k.byte != 222 && k.byte != 223) {
      sayChar(k.byte);
      text += static_cast<char>(k.byte);
    }
  }
}

}  // namespace

int searchEntries(const ChooserView& view, int current, bool containing, bool ask) {
  if (ask) {
    std::string text;
    if (!askText(text) || text.empty()) return current;
    lastSearch = text;
  } else if (lastSearch.empty()) {
    beep();
    return current;
  }
  std::string wanted = folded(lastSearch);
  for (int i = std::max(current + 1, 0); i < static_cast<int>(view.entries.size()); ++i) {
    std::string name = folded(view.entries[i].name);
    size_t at = name.find(wanted);
    if (containing ? at != std::string::npos : at == 0) {
      playRecording("_ACHEI");
      return i;
    }
  }
  playRecording("_NAOACH");
  return current;
}

}  // namespace varlo
