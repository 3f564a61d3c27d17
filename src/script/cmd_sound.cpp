// BIPA, TOCA, MCI and MIDI: attention sounds, sound files through the MCI
// interpreter, and notes on the MIDI synthesizer.
#include "base/codepage.h"
#include "console/console.h"
#include "sound/mci.h"
#include "sound/midi_synth.h"
#include "speech/speech.h"
#include "script/cmd_descriptors.h"
#include "script/cmd_operands.h"
#include "script/interp.h"
#include "script/output.h"

namespace varlo {

namespace {

struct MidiCommands {
  int channel = 0;   // 0-15; scripts count 1-16
};

MidiCommands midiState;

// An MCI failure is said and printed, not fatal: the I/O status holds the
// error number for scripts that check it.
void reportMci(const MciReply& reply) {
  setIoStatus(reply.error);
  if (reply.error != 0) printLine(reply.text);
}

// The alias TOCA plays under while it waits.
constexpr const char* kTocaAlias = "myfile";

bool playAndWait(const std::string& file) {
  MciReply opened = mciSendString("open \"" + file + "\" alias " + kTocaAlias);
  if (opened.error != 0) {
    reportMci(opened);
    return true;
  }
  MciReply played = mciSendString(std::string("play ") + kTocaAlias);
  while (played.error == 0 && !keyPending()) {
    MciReply mode = mciSendString(std::string("status ") + kTocaAlias + " mode");
    if (mode.text != "playing") break;
    pause(100);
  }
  flushKeyQueue();
  mciSendString(std::string("stop ") + kTocaAlias);
  mciSendString(std::string("close ") + kTocaAlias);
  reportMci(played);
  return true;
}

// A note of the scripts' numbering: scale -1..7 and a note counted from C.
bool readNote(int& midiNote) {
  int32_t scale = 0;
  int32_t note = 0;
  if (!readInteger(scale, false)) return failLine(cp("Esperava o número da escala"));
  if (scale < -1 || scale > 7) return failLine(cp("A escala deve estar entre -1 e 7"));
  if (!readInteger(note, false)) return failLine(cp("Esperava o número da nota"));
  midiNote = (scale + 1) * 12 + note;
  return true;
}

bool readNumber(int32_t& out, const char* missing) {
  if (readInteger(out, false)) return true;
  return failLine(cp(missing));
}

// The device must be open for sound; without it the I/O status says so.
bool deviceReady(int midiNote = 0) {
  bool ready = midiIsOpen() && midiNote >= 0 && midiNote <= 127;
  setIoStatus(ready ? 0 : 1);
  return ready;
}

bool midiNoteCommand(const std::string& word) {
  int note = 0;
  if (!readNote(note)) return false;
  int32_t ms = 0;
  if (word == "TOCA" && !readNumber(ms, "Esperava a duração em milissegundos")) return false;
  if (!deviceReady(note)) return true;
  if (word == "INICIA") midiNoteOn(midiState.channel, note);
  else if (word == "PARA") midiNoteOff(midiState.channel, note);
  else midiPlayNote(midiState.channel, note, ms);
  return true;
}

}  // namespace

// BIPA [valor]
bool cmdBeep() {
  bool clickWanted = false;
  if (theToken.kind != tkEnd) {
    Operand v = evaluate(1);
    clickWanted = valueText(v) == "1";
    releaseValue(v);
  }
  if (clickWanted) click();
  else beep();
  return true;
}

// TOCA arquivo [&]
bool cmdPlaySound() {
  std::string name;
  if (!readString(name)) return false;
  bool background = takeAmpersand();
  std::string file = utf8ToCp1252(scriptFilePath(name, true));
  if (!background) return playAndWait(file);
  reportMci(mciSendString("play \"" + file + "\""));
  return true;
}

// MCI comando [variável]
bool cmdMci() {
  std::string command;
  if (!readString(command, false)) return failLine(cp("Esperava uma cadeia com o comando MCI"));
  Lvalue target;
  if (theToken.kind != tkEnd) {
    target = parseLvalue();
    if (!target.valid()) return false;
  }
  MciReply reply = mciSendString(command);
  if (!target.valid()) {
    reportMci(reply);
    return true;
  }
  setIoStatus(reply.error);
  return assignLvalue(target, stringValue(std::move(reply.text)));
}

bool cmdMidi() {
  if (theToken.kind == tkEnd) return failLine(cp("Esperava um modificador para o comando MIDI"));
  std::string word(theToken.text);
  scan();
  int32_t value = 0;
  if (word == "ABRE") {
    if (!readNumber(value, "Esperava o número do dispositivo")) return false;
    setIoStatus(midiOpen(value) ? 0 : 1);
  } else if (word == "FECHA") {
    midiClose();
    setIoStatus(0);
  } else if (word == "CANAL") {
    if (!readNumber(value, "Esperava o número do canal")) return false;
    if (value < 1 || value > 16) return failLine(cp("O canal deve estar entre 1 e 16"));
    midiState.channel = value - 1;
    setIoStatus(0);
  } else if (word == "INSTRUMENTO") {
    if (!readNumber(value, "Esperava o número do instrumento")) return false;
    if (value < 0 || value > 255) return failLine(cp("O instrumento deve estar entre 0 e 255"));
    if (deviceReady()) midiProgram(midiState.channel, value);
  } else if (word == "VOLUME") {
    if (!readNumber(value, "Esperava o volume")) return false;
    if (deviceReady()) midiVolume(midiState.channel, value);
  } else if (word == "INICIA" || word == "PARA" || word == "TOCA") {
    return midiNoteCommand(word);
  } else {
    return failLine(cp("Modificador ") + word + cp(" inválido para o comando MIDI"));
  }
  return true;
}

void resetSoundCommands() {
  mciCloseAll();
  midiClose();
  midiState = MidiCommands{};
}

}  // namespace varlo
