// The spoken questions of the review: the text to search for and the row
// and column to go to, every key said as it is typed.
#include "console/console.h"
#include "speech/speech.h"
#include "widgets/screen_review_state.h"

namespace varlo {

namespace {

// Longer than a row could hold: the search would fail anyway.
constexpr size_t kMaxSearchLength = 255;

KeyPress nextKey() {
  KeyPress k = readKeyPress();
  stopSpeech();
  return k;
}

void removeLast(std::string& text) {
  if (text.empty()) {
    beep();
    return;
  }
  playRecording("_DEL");
  sayChar(static_cast<uint8_t>(text.back()));
  text.pop_back();
}

void append(std::string& text, uint8_t c) {
  if (c < ' ') return;
  if (text.size() >= kMaxSearchLength) {
    beep();
    return;
  }
  sayChar(c);
  text += static_cast<char>(c);
}

}  // namespace

bool askSearchText(std::string& text) {
  speak("Qual texto");
  text.clear();
  for (;;) {
    KeyPress k = nextKey();
    if (k.extended()) continue;
    switch (k.byte) {
      case key::Enter: return true;
      case key::Esc: return false;
      case key::Backspace: removeLast(text); break;
      default: append(text, k.byte); break;
    }
  }
}

bool askPosition(int& row, int& column) {
  speak("Entre linha e coluna");
  int digits[4] = {};
  for (int& digit : digits) {
    KeyPress k = nextKey();
    if (k.extended() || k.byte < '0' || k.byte > '9') {
      beep();
      beep();
      return false;
    }
    sayChar(k.byte);
    digit = k.byte - '0';
  }
  row = digits[0] * 10 + digits[1];
  column = digits[2] * 10 + digits[3];
  return true;
}

}  // namespace varlo
