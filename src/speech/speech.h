// The speech front end: everything the program says goes through here.
//
// Two ways of speaking sit behind it: an engine (engines.h) that receives
// whole texts and speaks them in the background, or, when no engine is open,
// the suite's recorded voice: word runs go to the suite synthesizer, numbers
// are read as Portuguese number words, every other character is played as a
// recorded letter sound, with pauses at punctuation. Any key press silences
// what is being said. Text is Windows-1252.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varlo {

// Start-up (once, after openConsole): speed level 1-5 (0 = [TRADUTOR]
// VELOCIDADE) and the directory of the program's own recorded messages.
// Opens the engine configured in [SERVFALA] when [TRADUTOR] SAPI asks for one.
void initSpeech(int speedLevel, std::string_view soundDirectory);
// Stop speech, close the engine, load the per-speed settings and, when
// useEngine is set, open the given engine (voice 0 = [SERVFALA] VOZ) into the
// output file in force.
void reconfigureSpeech(int speedLevel, bool useEngine, int engineType,
                       int voice, int engineSpeed, int pitch);
// Wait for the end of speech, stop, close the engine and the suite synthesizer.
void shutdownSpeech();
// Read [BAIXAVISAO] again and start, change or stop the magnifier.
void applyMagnifierSettings();

// The WAV file the next engine open renders into; "" means the sound card.
void setSpeechOutputFile(std::string_view path);
const std::string& speechOutputFile();
// An engine is open and receives all speech.
bool engineActive();

// Speaking. All of these return at once while an engine speaks in the
// background; the recorded voice plays to the end unless a key is pressed.
void speak(std::string_view text);
void spell(std::string_view text);
void sayChar(uint8_t c);
void playRecording(std::string_view key);       // no existence test
bool recordingExists(std::string_view key);
std::string recordingPath(std::string_view key);  // "_" keys: letters directory
std::string letterSoundPath(uint8_t c);           // "_<code>.wav" or "_unknown.wav"

bool isBusy();          // a pending key stops speech and answers false
void waitWhileBusy();   // until speech and sound end or a key is pressed
void waitForEngine();   // wait for the previous text when it asked for it
void stopSpeech();

// Printing with speech.
void writeSpeak(std::string_view text);
void writeLineSpeak(std::string_view text);
// While the engine records into a file, the line is said live with the
// suite's recorded voice (what the engine says goes into the file) and
// heard to its end unless a key is pressed; otherwise as writeLineSpeak.
void writeLineAside(std::string_view text);
void writeNumberSpeak(long long number);

// Keys.
uint8_t readKeySpeak();                    // reads, silences, says the key
uint8_t readKeyEcho(uint8_t& extended);    // F8 says the time; prints and says keys > 31
// The one-key answer to a question: read, said and printed, then a new line;
// 0 for an extended key (its code is dropped).
uint8_t readAnswerKey();
void flushKeys();

// Attention sounds, played from memory.
void click();
void beep();   // the refusal signal of every list and editor

void pauseSpeech(int milliseconds);   // 50 ms steps, ended by a pending key

// Upper-case folding of Windows-1252 (a-z and bytes 224-255).
std::string upperText(std::string_view text);
bool hasVowel(std::string_view text);

void dialTones(std::string_view digits);   // 0-9 # *, "," pauses a second
void sayBattery();
void openAddress(std::string_view address);  // web address, document or program

// Switches the editor and the settings use.
struct SpeechOptions {
  bool speakPunctuation = true;     // punctuation is said as well as paused on
  bool echoKeys = true;             // the field editor says each typed key
  bool firstKeyReplaces = true;     // first typed key replaces a field's text
  bool editorReturnsClipboardKeys = false;  // Ctrl+C / Ctrl+V go to the caller
};
SpeechOptions& speechOptions();

int speechSpeedLevel();
const std::string& soundDirectory();     // ends with "/" unless empty
const std::string& lettersDirectory();   // ends with "/"

// What the front end hands to the sound layer, in order, for tests: every
// recording file asked for (also each word joined by number reading; whether
// or not it exists), the memory sounds, the pauses (detail: milliseconds),
// the word runs given to the suite synthesizer and each sound of joined word
// recordings (detail: its number of sample bytes).
enum class SoundEvent { file, click, beep, pause, words, joined };
using SoundListener = void (*)(SoundEvent event, std::string_view detail);
void setSoundListener(SoundListener listener);   // nullptr to remove

}  // namespace varlo
