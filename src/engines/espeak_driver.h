// The espeak-ng voices, in-process through the library. Live speech is
// synthesized by a worker thread and handed to the sound layer from
// pumpMessages, paced to real time; rendering into a file happens in the
// caller's thread, as fast as the synthesizer goes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varlo {

// Opens a 1-based voice (out of range: voice 1 and rate 0) at a rate of
// -10..10 (other values keep the default rate), live or into a 16-bit mono
// WAV file. False when espeak-ng cannot start, has no voice, or the file
// cannot be created.
bool espeakOpen(int voiceNumber, int speed, std::string_view outputFile);
// Waits for live speech to end, then completes the output file's header.
void espeakClose();
// Text in Windows-1252. With markup set the text is SSML, in which each
// silence element (<silence msec="N"/>) becomes N ms of silence.
void espeakSpeak(std::string_view text, bool markup);
bool espeakIsSpeaking();
// Some of the output file could not be written (a full disk): the file of
// the last open, checked after the close.
bool espeakWriteFailed();
// Sample bytes the output file of the last open has received.
uint64_t espeakOutputBytes();
void espeakStop();
// Feeds live speech to the sound layer; stops it when a key is pending.
void espeakPump();

int espeakVoiceTotal();                      // 0 when espeak-ng cannot start
std::string espeakVoiceName(int voiceNumber);
std::string espeakVoiceLanguage(int voiceNumber);   // e.g. "pt-br"
// Words per minute for a rate of -10..10, 0 = espeak-ng's default.
int espeakWordsPerMinute(int rate);
// Markup cut at its silence elements: text pieces (silenceMs 0; blank ones
// left out) and silences in order.
struct SpeechPiece {
  std::string text;
  int silenceMs = 0;
};
std::vector<SpeechPiece> splitSilences(std::string_view text);

}  // namespace varlo
