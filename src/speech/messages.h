// The program's spoken vocabulary: message keys ("VL..." names) and their
// Portuguese texts (Windows-1252).
#pragma once

#include <string>
#include <string_view>

namespace varlo {

// The text of a catalogue key; an unknown key gives
// "--> Mensagem inválida: " followed by the key.
std::string messageText(std::string_view key);
// Print the text (when lineBreaks >= 0), then lineBreaks line breaks, then
// play the key's recording if there is one, else speak the text.
void sayMessage(std::string_view key, int lineBreaks);

}  // namespace varlo
