// Prosody of the Olira voice: the prosody file (phoneme durations, key
// words with their classes, pitch levels and intonation rules), the
// tokenizer that classes the words of a text, and the three-digit
// intonation code of every token.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlo {

// Reads the three sections of a prosody file, replacing the current tables.
// On failure returns false and sets message to what the user is told
// (Windows-1252). A duration that is not a number is also told, but reading
// goes on with 100 ms (message set, result true).
bool loadProsody(const std::string& path, std::string& message);

// Base duration in ms of a phoneme name; found false when it has none.
int phonemeDuration(std::string_view phoneme, bool& found);
int baseHertz();
// The percentage of the base pitch of a level 0 ... 9 (0 when not given).
int pitchLevel(int digit);

// "[--]" then "[CL]text" entries: CL is the key-word class of a word ("XX"
// when not a key word) or a punctuation mark written twice.
std::vector<std::string> tokenize(std::string_view text);
// "code|text" lines: the intonation code chosen by the prosody rules from
// the classes of the previous, current and next token ("555" by default).
std::vector<std::string> intonationCodes(const std::vector<std::string>& tokens);

}  // namespace varlo
