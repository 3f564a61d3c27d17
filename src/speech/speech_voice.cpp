// The suite's recorded voice: the text is cut into runs of words (to the
// suite synthesizer), numbers (number words from recordings) and single
// characters (letter sounds), with pauses at punctuation.
#include <string>

#include "console/console.h"
#include "speech/number_reading.h"
#include "speech/speech_state.h"
#include "engines/suite_synth.h"

namespace varlo {
namespace {

constexpr int kLongestNumber = 6;   // longer digit runs are spelled

bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }
bool isLetter(uint8_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128;
}

// Cursor over the text being said; the text always ends with a space.
struct Reader {
  std::string text;
  size_t pos = 0;
  bool done() const { return pos >= text.size(); }
  uint8_t at(size_t offset) const {
    return pos + offset < text.size() ? uint8_t(text[pos + offset]) : 0;
  }
  size_t left() const { return text.size() - pos; }
  std::string take(bool (*fits)(uint8_t)) {
    size_t start = pos;
    while (!done() && fits(at(0))) ++pos;
    return text.substr(start, pos - start);
  }
};

void sayNumber(const std::string& run) {
  if (run.find('-') != std::string::npos || run.size() > kLongestNumber) {
    spell(run);
  } else {
    playWords(numberWords(uint32_t(std::stoul(run))), false);
  }
}

void sayWordRun(const std::string& run) {
  // "www" as the last word of the run is spelled, as users hear addresses.
  size_t end = run.find_last_not_of(' ');
  if (end == std::string::npos) return;
  size_t start = run.find_last_of(' ', end);
  start = start == std::string::npos ? 0 : start + 1;
  if (upperText(run.substr(start, end + 1 - start)) == "WWW") {
    sayWordRun(run.substr(0, start));
    spell(run.substr(start, 3));
    return;
  }
  noteSound(SoundEvent::words, run);
  suiteSynthSpeak(run);
}

// Pause (and, when punctuation is spoken, say) the mark at the reader.
void punctuation(const Reader& r) {
  if (keyPending()) return;
  waitWhileBusy();
  const SpeechState& state = speechState();
  const bool sayIt = state.options.speakPunctuation;
  const uint8_t p = r.at(0);
  if (sayIt) sayChar(p);
  switch (p) {
    case '(': case ')': case ':': case ';':
      pauseSpeech(state.pauseColon);
      break;
    case ',': case '-': case '.': {
      int pause = p == '.' ? state.pauseFullStop : state.pauseComma;
      if (r.at(1) == ' ') {
        pauseSpeech(pause);
      } else if (!sayIt) {
        sayChar(p);
      }
      break;
    }
    default:
      break;
  }
}

void sayDash(const Reader& r) {
  uint8_t next = r.left() >= 3 ? r.at(1) : ' ';
  if (next == ' ' || next == '-') {
    punctuation(r);
  } else if (isDigit(next)) {
    playRecording("_MENOS");
  } else {
    sayChar('-');
  }
}

// One character that is neither a digit run nor a word run.
void sayOther(Reader& r, uint8_t& last, int& repeats) {
  uint8_t c = r.at(0);
  if (c == last) {
    if (++repeats > 3) {
      click();
      c = ' ';
    }
  } else {
    repeats = 0;
    last = c;
  }
  if (r.at(0) == '-') {
    sayDash(r);
  } else if (r.text.compare(r.pos, 3, "://") == 0) {
    spell(r.text.substr(r.pos, 1));
  } else if (c == '(' || c == ')' || c == ',' || c == '.' || c == ':' || c == ';') {
    punctuation(r);
  } else if (c == '\t') {
    playRecording("_FON9");
  } else if (c != ' ' && c != '\r' && c != '\n' && !keyPending()) {
    sayChar(c);
  }
  ++r.pos;
}

}  // namespace

void speakRecorded(std::string_view text) {
  SpeechState& state = speechState();
  Reader r{std::string(text) + ' '};
  state.stopRequested = false;
  uint8_t last = ' ';
  int repeats = 0;
  while (!state.stopRequested && !r.done()) {
    if (keyPending()) {
      stopSpeech();
      return;
    }
    while (r.at(0) == '0') {
      playRecording("_zero");
      ++r.pos;
    }
    if (r.done()) break;
    if (isDigit(r.at(0))) {
      sayNumber(r.take([](uint8_t c) { return isDigit(c) || c == '-'; }));
    } else if (r.at(0) == ' ' || isLetter(r.at(0))) {
      sayWordRun(r.take([](uint8_t c) { return c == ' ' || isLetter(c); }));
      if (r.at(0) == '-' && isLetter(r.at(1))) ++r.pos;
    } else {
      sayOther(r, last, repeats);
    }
  }
}

}  // namespace varlo
