// The message catalogue: a key's Portuguese text, printed and then played
// from its recording or spoken.
#include "speech/messages.h"

#include <vector>

#include "console/console.h"
#include "speech/speech.h"
#include "base/codepage.h"
#include "speech/message_table.h"

namespace varlo {

namespace {

// The table's texts in Windows-1252, converted on first use.
const std::vector<std::string>& catalogueTexts() {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> t;
    t.reserve(kMessageCount);
    for (size_t i = 0; i < kMessageCount; ++i) t.push_back(utf8ToCp1252(kMessageTable[i].text));
    return t;
  }();
  return texts;
}

}  // namespace

std::string messageText(std::string_view key) {
  const auto& texts = catalogueTexts();
  for (size_t i = 0; i < kMessageCount; ++i)
    if (key == kMessageTable[i].key) return texts[i];
  return utf8ToCp1252("--> Mensagem inválida: ") + std::string(key);
}

void sayMessage(std::string_view key, int lineBreaks) {
  std::string text = messageText(key);
  if (lineBreaks >= 0) writeText(text);
  for (int i = 0; i < lineBreaks; ++i) writeText("\r\n");
  if (recordingExists(key))
    playRecording(key);
  else
    speak(text);
}

}  // namespace varlo
