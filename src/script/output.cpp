// The script output channel: the talking console, or a capturing sink.
#include "script/output.h"

#include <string>

#include "console/console.h"
#include "speech/speech.h"

namespace varlo {

namespace {
OutputSink sink = nullptr;
bool silenced = false;
}

void setOutputSink(OutputSink s) { sink = s; }
void setSpeechSilenced(bool on) { silenced = on; }
bool speechSilenced() { return silenced; }

void printLine(std::string_view text) {
  if (sink) sink(text, true, true);
  else if (silenced) printSilent(text, true);
  else writeLineSpeak(text);
}

void printText(std::string_view text) {
  if (sink) sink(text, false, true);
  else if (silenced) printSilent(text, false);
  else writeSpeak(text);
}

void printSilent(std::string_view text, bool lineBreak) {
  if (sink) {
    sink(text, lineBreak, false);
    return;
  }
  writeText(text);
  if (lineBreak) writeText("\r\n");
}

void waitSpeech() {
  if (sink || silenced) return;
  while (isBusy()) {
    pumpMessages();
    pause(10);
  }
}

}  // namespace varlo
