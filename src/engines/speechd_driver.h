// The voices of Speech Dispatcher, the speech server of the Linux desktop,
// through libspeechd. Live speech only: the server plays the sound itself.
#pragma once

#include <string>
#include <string_view>

namespace varlo {

// Connects to the server and selects a 1-based voice of its list,
// Brazilian Portuguese voices first, with a speed and a pitch (0 the
// server's default; -10..10 in steps, larger values in words per minute and
// hertz). The server is the one of SPEECHD_ADDRESS when that is set, else
// the desktop's, started when it is not running. False when the server
// cannot be reached, does not answer within a few seconds, or a file is
// asked for.
bool speechdOpen(int voiceNumber, int speed, int pitch, std::string_view outputFile);
void speechdClose();
// Text in Windows-1252, sent as it is: the program has already decided
// which punctuation is spoken.
void speechdSpeak(std::string_view text);
// Answered from the server's begin, end and cancel events; false once the
// connection is lost.
bool speechdIsSpeaking();
void speechdStop();
// The server went away after the open (it was stopped or crashed).
bool speechdLost();
// Stops speech when a key is pending.
void speechdPump();
int speechdVoiceTotal();
std::string speechdVoiceName(int voiceNumber);

}  // namespace varlo
