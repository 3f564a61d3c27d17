// Letter case and letter classes of Windows-1252 text as the front end and
// the editors see them.
#include <cstring>
#include <string>

#include "speech/speech.h"

namespace varlo {

std::string upperText(std::string_view text) {
  std::string out(text);
  for (char& ch : out) {
    unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || c >= 224) ch = char(c - 32);
  }
  return out;
}

bool hasVowel(std::string_view text) {
  static constexpr char consonants[] = "BCDFGHJKLMNPQRSTVXZ";
  for (unsigned char c : upperText(text)) {
    if (c == 0 || !std::strchr(consonants, c)) return true;
  }
  return false;
}

}  // namespace varlo
