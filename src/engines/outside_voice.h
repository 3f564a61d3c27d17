// A voice outside the program for rendering into files: a configured command
// that reads a text (UTF-8) on its standard input and writes a WAV on its
// standard output, started once per text, without a shell and for a
// limited time. Speech Dispatcher cannot render into a file; this is how
// voice type 4 records books.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varlo {

// Why the outside voice stopped recording.
enum class OutsideFailure {
  none,
  notStarted,   // the command could not be started (not found, not executable)
  failed,       // it ended with an error status or a signal
  overran,      // it ran past its time (or wrote past any sensible size) and was ended
  noSound,      // it wrote nothing a WAV reader can use
};

// Opens the output file (16-bit mono, at the rate of the first WAV when it
// is a rate the program uses, else 22050 Hz) for `command`, cut into words
// as configured programs are; each text gets at most limitMs. False when the
// command is blank or the file cannot be created.
bool outsideOpen(std::string_view command, int limitMs, std::string_view outputFile);
// Completes the output file's header.
void outsideClose();
// Text in Windows-1252; runs the command and appends its sound. After a
// failure nothing more is recorded until the next open.
void outsideSpeak(std::string_view text);
OutsideFailure outsideFailure();
bool outsideWriteFailed();
uint64_t outsideOutputBytes();

}  // namespace varlo
