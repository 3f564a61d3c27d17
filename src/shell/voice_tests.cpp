// Options V (adjust and try the voices installed) and T (read a whole text
// aloud with the configured voice).
#include <string>

#include "production/text_lines.h"
#include "console/console.h"
#include "widgets/field_editor.h"
#include "widgets/file_chooser.h"
#include "speech/speech.h"
#include "base/codepage.h"
#include "shell/app_state.h"
#include "speech/messages.h"
#include "shell/project.h"
#include "shell/settings_dialog.h"
#include "shell/voice_selection.h"
#include "engines/engines.h"

namespace varlo {

namespace {

void newLine() { writeText("\r\n"); }



// The voice being tried in option V.
struct TrialVoice {
  int type = 5, voice = 1, speed = 0, pitch = 0;
  bool speaking = true;
  int announced = 0;   // the voice whose name was said last
};

void selectTrialVoice(TrialVoice& v) {
  AppState trial = appState();
  trial.sapiType = v.type;
  trial.sapiVoice = v.voice;
  trial.sapiSpeed = v.speed;
  trial.sapiPitch = v.pitch;
  selectConversionVoice(trial);
}

// Number, name and language of the voice being tried, said whenever the
// voice changes: a number alone tells nothing among a hundred voices. Not
// said when the type could not be opened and another voice speaks instead.
// Speech Dispatcher lists its voices after the open, so there the voice is
// said once its name has come.
void sayVoiceIdentity(TrialVoice& v) {
  if (v.voice == v.announced || currentEngineType() != v.type) return;
  std::string name = voiceName(v.voice);
  if (name.empty() && v.type == kEngineOldInterface) return;
  v.announced = v.voice;
  std::string line = "Voz " + std::to_string(v.voice) + " de " + std::to_string(voiceCount());
  for (char& c : name)
    if (c == '_') c = ' ';
  if (!name.empty()) line += ": " + name;
  std::string language = voiceLanguage(v.voice);
  if (!language.empty()) line += ", idioma " + language;
  writeLineSpeak(line);
  waitWhileBusy();
}

void sayVoiceHelp() {
  playRecording("VLMENU");
  pause(100);
  sayMessage("VLOP", 1);
  pause(100);
  for (const char* k : {"VLCIMBAI", "VLDIRESQ", "VLCDICES", "VLNOVVAL", "VLNOVFRA", "VLNUMVOZ",
                        "VLNUMF4", "VLNUMF5"})
    sayMessage(k, 1);
}

void typingMode() {
  for (int i = 0; i < 3; ++i) beep();
  writeLineSpeak("Digite qualquer frase e pressione ENTER.  Para sair, ESCAPE");
  for (;;) {
    std::string line;
    readLineSpoken(line);
    if (line.empty()) break;
    speak(line);
    waitWhileBusy();
  }
  for (int i = 0; i < 3; ++i) beep();
}

// Ask for a number after a message; an empty entry keeps the value.
void askNumber(const char* key, int& value) {
  newLine();
  sayMessage(key, 0);
  readNumberSpoken(value);
}

void sayNewValue(const TrialVoice& v, const char* key, int value) {
  if (v.speaking) {
    newLine();
    sayMessage(key, 0);
  }
  writeNumberSpeak(value);
  newLine();
  waitWhileBusy();
}

// One key of the trial loop; false when it ends the loop (Enter or Esc).
bool handleTrialKey(uint8_t code, TrialVoice& v, std::string& phrase) {
  switch (code) {
    case key::Enter: case key::Esc: return false;
    case key::F1: sayVoiceHelp(); break;
    case key::F4: v.speaking = !v.speaking; beep(); break;
    case key::F5: typingMode(); break;
    case key::Down: v.speaking = true; if (v.voice < voiceCount()) ++v.voice; break;
    case key::Up: v.speaking = true; if (v.voice > 1) --v.voice; break;
    case key::Right: if (v.speed < 500) ++v.speed; sayNewValue(v, "VLVELOCI", v.speed); break;
    case key::Left: if (v.speed > 0) --v.speed; sayNewValue(v, "VLVELOCI", v.speed); break;
    case key::CtrlRight: if (v.pitch < 500) ++v.pitch; sayNewValue(v, "VLTONALI", v.pitch); break;
    case key::CtrlLeft: if (v.pitch > 0) --v.pitch; sayNewValue(v, "VLTONALI", v.pitch); break;
    case 'F': case 'f':
      v.speaking = true;
      newLine();
      sayMessage("VLREEDIT", 1);
      editField(phrase, 1, cursorRow(), true, 80, 255);
      newLine();
      break;
    case 'V': case 'v':
      v.speaking = true;
      askNumber("VLINUVOZ", v.voice);
      askNumber("VLINFVEL", v.speed);
      askNumber("VLINFTON", v.pitch);
      break;
    case 'N': case 'n':
      v.speaking = true;
      sayMessage("VLVOZATU", 0);
      writeNumberSpeak(v.voice);
      pause(100);
      newLine();
      // Speech Dispatcher's list comes seconds after the open.
      if (voiceCount() == 0 && v.type == kEngineOldInterface && currentEngineType() == v.type) {
        writeLineSpeak(utf8ToCp1252("A lista de vozes ainda está chegando; pressione N de novo daqui a pouco."));
        break;
      }
      sayMessage("VLVOZINS", 0);
      writeNumberSpeak(voiceCount());
      newLine();
      break;
    default: break;
  }
  return true;
}

uint8_t readTrialKey() {
  uint8_t k = readKey();
  return k == 0 ? readKey() : k;
}

void keepTrialVoice(const TrialVoice& v) {
  AppState& s = appState();
  sayMessage("VLASSCON", 0);
  uint8_t extended = 0;
  uint8_t answer = readKeyEcho(extended);
  newLine();
  if (answer != 'S' && answer != 's') {
    sayMessage("VLDESIST", 1);
    return;
  }
  s.sapiType = v.type;
  s.sapiVoice = v.voice;
  s.sapiSpeed = v.speed;
  s.sapiPitch = v.pitch;
  s.useSapi = s.voiceChosen = true;
  sayMessage("VLOK", 1);
}

// The lines of a text joined into one string, each preceded by a space.
std::string joinedLines(const std::string& bytes) {
  std::string text;
  for (std::string_view line : splitLines(bytes)) {
    text += ' ';
    text += line;
  }
  return textFromFile(text);
}

}  // namespace

void voiceAdjust() {
  newLine();
  sayMessage("VLINFTIP", 0);
  uint8_t extended = 0;
  uint8_t typeKey = readKeyEcho(extended);
  newLine();
  if (typeKey < '3' || typeKey > '5') {
    sayMessage("VLDESIST", 1);
    return;
  }
  newLine();
  std::string phrase =
      utf8ToCp1252("AJUSTE SAPI: TESTE - \"Poderei converter os arquivos utilizando esse padrão\" -");
  sayMessage("VLDIGMSG", 1);
  uint8_t ending = editField(phrase, 1, cursorRow(), true, 80, 255);
  // The editor leaves the cursor on the phrase; what follows goes below it.
  newLine();
  if (ending == key::Esc || phrase.empty()) {
    sayMessage("VLDESIST", 1);
    return;
  }
  sayMessage("VLUSESET", 1);
  newLine();
  TrialVoice v;
  v.type = typeKey - '0';
  uint8_t code = 0;
  for (;;) {
    flushKeys();
    if (v.speaking) {
      selectTrialVoice(v);
      sayVoiceIdentity(v);
      speak(phrase);
      waitWhileBusy();
    }
    code = readTrialKey();
    if (!handleTrialKey(code, v, phrase)) break;
    waitWhileBusy();
  }
  if (code == key::Enter)
    keepTrialVoice(v);
  else
    sayMessage("VLOK", 1);
  pause(250);
  restoreMenuVoice();
  pause(250);
  flushKeys();
}

void voiceTest() {
  AppState& s = appState();
  // The voice saved in the settings, unless one was chosen in this run.
  loadVoiceOnFirstUse(s);
  recheckEmptyProject();   // texts copied in since the start can be read
  if (s.noTextFiles) {
    sayMessage("VLNAOSEL", 1);
    return;
  }
  std::string file = chooseListedFile("VLSELSET", "*.TXT");
  if (file.empty()) {
    sayMessage("VLDESIST", 1);
    return;
  }
  std::string bytes;
  if (!readFileBytes(diskPath(file), bytes)) {
    beep();
    sayMessage("VLPROABE", 1);
    return;
  }
  // Read aloud, an image or a program is only noise.
  if (looksBinary(bytes)) {
    beep();
    writeLineSpeak(file + utf8ToCp1252(" não é um texto e não será lido."));
    return;
  }
  std::string text = joinedLines(bytes);
  if (s.voiceChosen) selectConversionVoice(s);
  pause(250);
  speak(text);
  waitWhileBusy();
  pause(250);
  if (s.voiceChosen) restoreMenuVoice();
  flushKeys();
  sayMessage("VLOK", 1);
}

}  // namespace varlo
