// The script output channel: everything a script prints, and every error
// report, goes through here, so that a test or a batch run can capture it.
#pragma once

#include <string_view>

namespace varlo {

// Printed on the console and spoken, ending the line.
void printLine(std::string_view text);
// Printed and spoken, without a line break.
void printText(std::string_view text);
// Printed only (the MUDO modifiers).
void printSilent(std::string_view text, bool lineBreak);
// Waits while speech is in progress; a key press silences it.
void waitSpeech();

// Batch runs without sound: everything is printed, nothing is spoken, and
// commands that speak (FALA, SOLETRA) should skip speaking too.
void setSpeechSilenced(bool silenced);
bool speechSilenced();

// A sink replaces the console: it receives every piece of output.
using OutputSink = void (*)(std::string_view text, bool lineBreak, bool spoken);
void setOutputSink(OutputSink sink);   // nullptr: back to the console

}  // namespace varlo
