// The engine dispatcher: the one entry point through which the program makes
// a voice speak. Engine type codes: 3 the built-in voice Olira, 4 the old
// engine interface, met by Speech Dispatcher for live speech and by the
// outside voice command of [TRADUTOR] VOZEXTERNA (time limit per text in
// seconds: VOZEXTERNALIMITE, 60 when unset) for files, 5, 54 and every
// other code the espeak-ng voices (Brazilian Portuguese voices first).
//
// Live speech goes on in the background after speakText returns; callers poll
// isSpeaking through pumpMessages. With an output file, the text is rendered
// into that 16-bit mono WAV file, which is complete after closeEngine.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engines/outside_voice.h"

namespace varlo {

constexpr int kEngineOlira = 3;
constexpr int kEngineOldInterface = 4;
constexpr int kEngineEspeak = 5;
constexpr int kEngineEspeakAlt = 54;

// The type chosen by the last openEngine (5 at start), successful or not.
int currentEngineType();

// Opens the driver of engineType with a 1-based voice number, a speed and a
// pitch, rendering into outputFile when it is not empty. False when the
// engine cannot be used.
bool openEngine(int engineType, int voiceNumber, int speed, int pitch,
                std::string_view outputFile);
void closeEngine();   // the output file is final afterwards
void speakText(std::string_view text);
// queuedOnly: only text not yet rendered counts (no difference for espeak-ng
// and Olira).
bool isSpeaking(bool queuedOnly = false);
void stopSpeaking();  // silence at once, discard queued text
int voiceCount();
// Name of a 1-based voice of the current type ("" when out of range).
std::string voiceName(int voiceNumber);
// Language code of a 1-based voice of the current type ("" when unknown).
std::string voiceLanguage(int voiceNumber);

// While on, text is read as markup; the conversion turns it on only around a
// silence element (<silence msec="N"/>), which becomes a pause.
bool xmlMode();
void setXmlMode(bool on);

// The output file of the engine open now ("" for live speech).
const std::string& engineOutputFile();
// After closeEngine: the output file could not be written completely (a full
// disk), so the recording is damaged.
bool engineOutputFailed();
// Sample bytes the output file has received since the open: where the next
// text spoken will begin in it.
uint64_t engineOutputBytes();
// The speech server behind the open voice went away: nothing more is heard
// from it until the engine is opened again.
bool engineLost();
// Why the outside voice stopped recording into the open file (none for the
// other voices): the rest of that text was not recorded.
OutsideFailure engineRecordingFailure();

}  // namespace varlo
