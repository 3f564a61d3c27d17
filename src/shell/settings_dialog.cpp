// Option A: the output settings form.
#include "shell/settings_dialog.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "production/conversion_mp3.h"
#include "base/config.h"
#include "console/colour_scheme.h"
#include "console/console.h"
#include "widgets/field_editor.h"
#include "widgets/form.h"
#include "base/ini_file.h"
#include "speech/speech.h"
#include "platform/process.h"
#include "base/codepage.h"
#include "base/plain_text.h"
#include "shell/app_state.h"
#include "shell/conversion_progress.h"
#include "shell/display_settings.h"
#include "speech/messages.h"
#include "shell/voice_selection.h"
#include "engines/engines.h"

namespace varlo {

namespace {

void newLine() { writeText("\r\n"); }

int integerOr(std::string_view section, std::string_view key, int fallback) {
  std::string v = readSetting(section, key);
  int value = 0;
  auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
  return !v.empty() && ec == std::errc() && end == v.data() + v.size() ? value : fallback;
}

// The first letter of a field, trimmed and upper-cased; 0 when empty.
char firstLetter(const std::string& field) {
  size_t i = field.find_first_not_of(' ');
  return i == std::string::npos ? 0 : upperText(field.substr(i, 1))[0];
}

// The quality is stored as the one letter start-up reads (B, A or M) and
// shown as the word the form asks for; anything else means high quality.
char qualityLetter(const std::string& field) {
  char c = firstLetter(field);
  return c == 'B' || c == 'M' ? c : 'A';
}

std::string qualityWord(char letter) {
  return letter == 'B' ? "BAIXA" : letter == 'M' ? utf8ToCp1252("MÁXIMA") : "ALTA";
}

// The recorder is a device or image path (kept as typed) rather than a
// drive letter (upper-cased).
bool isPath(const std::string& cd) { return cd.find('/') != std::string::npos; }

std::string orDefault(const std::string& field, const char* fallback) {
  return trimSpaces(field).empty() ? fallback : field;
}

struct EngineName {
  int type;
  const char* name;
};
constexpr EngineName kEngineNames[] = {
    {kEngineOlira, "OLIRA"}, {kEngineOldInterface, "SPEECH DISPATCHER"}, {kEngineEspeak, "ESPEAK-NG"}};
constexpr const char* kEngineChoices = "OLIRA|SPEECH DISPATCHER|ESPEAK-NG";

constexpr const char* kMenuVoice = "Voz do programa (motor ou gravada) : ";
constexpr const char* kMenuEngine = "Motor do programa : ";

std::string menuVoiceWord(std::string_view field) {
  char c = firstLetter(std::string(field));
  return c == 'G' || c == 'N' || c == 0 ? "GRAVADA" : "MOTOR";
}

// The label's words without the colon, for saying a change.
std::string labelWords(const char* label) {
  std::string words(label);
  return utf8ToCp1252(words.substr(0, words.rfind(" : ")));
}

void addFields(SettingsFields& f) {
  newLine();
  for (int i = 0; i < 18; ++i) newLine();
  moveCursor(1, cursorRow() - 18);
  setFormLabelWidth(38);
  beginForm();
  auto text = [](const char* key, const char* label, std::string& value, int max) {
    addTextField(key, utf8ToCp1252(label), value, max);
  };
  auto number = [](const char* key, const char* label, int& value) {
    addIntegerField(key, utf8ToCp1252(label), value);
  };
  text("VLSINPON", "Sintetizar pontuação : ", f.punctuation, 4);
  text("VLQUAMP3", "Qualidade do MP3 (alta ou baixa) : ", f.quality, 6);
  // Room for a device or image path, not only a drive letter.
  text("VLUNIDCD", "Unidade do CD : ", f.cdDrive, 64);
  text("VLDIRAUD", "Diretório de audio : ", f.audioSubdirectory, 28);
  text("VLATIAVI", "Ativar avisos : ", f.announceFiles, 4);
  text("VLINTSIL", "Introduzir silêncio : ", f.withSilence, 4);
  text("VLINTEFE", "Introduzir efeito : ", f.withEffect, 4);
  text("VLINTCAB", "Introduzir cabeçalho : ", f.writeHeader, 4);
  number("VLLINARQ", "Linhas por arquivo : ", f.linesPerPart);
  number("VLAVIPRO", "Aviso de progresso (segundos) : ", f.progressSeconds);
  text("VLCOMSAP", "Alterar síntese (sim ou não) : ", f.useSapi, 4);
  auto choice = [](const char* key, const char* label, std::string& value, const char* allowed) {
    addChoiceField(key, utf8ToCp1252(label), value, allowed, 17);
  };
  choice("VLTIPSAP", "Motor da conversão : ", f.sapiType, kEngineChoices);
  number("VLNUMSAP", "Número SAPI : ", f.sapiVoice);
  number("VLVELSAP", "Velocidade SAPI : ", f.sapiSpeed);
  number("VLTONSAP", "Tonalidade SAPI : ", f.sapiPitch);
  choice("VLVOZPRG", kMenuVoice, f.menuVoice, "MOTOR|GRAVADA");
  choice("VLMOTPRG", kMenuEngine, f.menuEngine, kEngineChoices);
  text("VLGERMP3", "Gerador de MP3 : ", f.encoderPath, 144);
  choice("VLFORLIV", "Formato do livro (MP3/DAISY/EPUB) : ", f.bookFormat, "MP3|DAISY|EPUB");
  text("VLAUTLIV", "Autor do livro : ", f.bookAuthor, 64);
}

// The book format as start-up reads it: anything else is MP3, today's parts.
std::string bookFormatOf(const std::string& field) {
  std::string format = upperText(std::string(trimSpaces(field)));
  return format == "DAISY" || format == "EPUB" ? format : "MP3";
}

// Try the voice with a phrase the user may change; true to show the form again.
bool tryVoiceAgain() {
  sayMessage("VLAJUSAP", 1);
  pause(100);
  sayMessage("VLDIGFRA", 1);
  std::string phrase =
      utf8ToCp1252("AJUSTE SAPI: TESTE - \"Irei converter os arquivos utilizando esse padrão\" -");
  uint8_t ending = editField(phrase, 1, cursorRow(), true, 80, 255);
  // The editor leaves the cursor on the phrase; what follows goes below it.
  newLine();
  if (ending == key::Esc) return false;
  speak(phrase);
  sayMessage("VLDESALT", 0);
  uint8_t extended = 0;
  uint8_t k = readKeyEcho(extended);
  newLine();   // the answer ends its line; "OK, ajustado" goes below
  return k == 'S' || k == 's';
}

// The program's own voice is written only when changed: otherwise the user's
// file goes on following the suite's shared settings.
bool storeMenuVoice(const SettingsFields& f) {
  const SettingsFields stored = currentSettingsFields();
  const std::string file = userConfigFile();
  const std::vector<IniEntry> voice = {{"SAPI", f.menuVoice == "MOTOR" ? "SIM" : "NAO"}};
  const std::vector<IniEntry> engine = {
      {"TIPOSAPI", std::to_string(engineTypeCode(f.menuEngine, kEngineEspeak))}};
  bool written = stored.menuVoice == f.menuVoice || writeIniSection(file, "TRADUTOR", voice);
  return (stored.menuEngine == f.menuEngine || writeIniSection(file, "SERVFALA", engine)) && written;
}

}  // namespace

std::string engineTypeName(int type) {
  for (const EngineName& e : kEngineNames)
    if (e.type == type) return e.name;
  return std::to_string(type);
}

int engineTypeCode(const std::string& field, int fallback) {
  std::string typed = upperText(std::string(trimSpaces(field)));
  if (typed.empty()) return fallback;
  int code = 0;
  auto [end, ec] = std::from_chars(typed.data(), typed.data() + typed.size(), code);
  if (ec == std::errc() && end == typed.data() + typed.size()) return code;
  for (const EngineName& e : kEngineNames)
    if (std::string_view(e.name).substr(0, typed.size()) == typed) return e.type;
  return fallback;
}

SettingsFields currentSettingsFields() {
  const AppState& s = appState();
  SettingsFields f;
  f.punctuation = readSetting("VARLO", "SINTETIZARPONTUACAO");
  f.quality = qualityWord(qualityLetter(readSetting("VARLO", "QUALIDADEMP3")));
  f.cdDrive = readSetting("VARLO", "CD");
  f.audioSubdirectory = s.audioSubdirectory;
  f.announceFiles = s.announceFiles;
  f.withSilence = s.withSilence;
  f.withEffect = s.withEffect;
  f.writeHeader = s.writeHeader;
  f.linesPerPart = integerOr("VARLO", "QUEBRARLINHA", 100);
  f.progressSeconds = integerOr("VARLO", "AVISOPROGRESSO", kDefaultProgressSeconds);
  f.useSapi = readSetting("VARLO", "ALTERARSINTESE");
  f.sapiType = engineTypeName(integerOr("VARLO", "TIPOSAPI", integerOr("SERVFALA", "TIPOSAPI", 3)));
  f.sapiVoice = integerOr("VARLO", "NUMEROSAPI", 1);
  f.sapiSpeed = integerOr("VARLO", "VELOCIDADESAPI", 0);
  f.sapiPitch = integerOr("VARLO", "TONALIDADESAPI", 0);
  f.menuVoice = menuVoiceWord(readSetting("TRADUTOR", "SAPI"));
  f.menuEngine = engineTypeName(integerOr("SERVFALA", "TIPOSAPI", kEngineEspeak));
  f.encoderPath = readSetting("VARLO", "PROG_LAME");
  if (f.encoderPath.empty()) f.encoderPath = quotedProgram(defaultLamePath());
  f.bookFormat = s.bookFormat;
  f.bookAuthor = s.bookAuthor;
  return f;
}

void applySettingsFields(SettingsFields& f) {
  AppState& s = appState();
  speechOptions().speakPunctuation = firstLetter(f.punctuation) != 'N';
  char quality = qualityLetter(f.quality);
  s.mp3Options = quality == 'B' ? s.qualityLow : quality == 'M' ? s.qualityMax : s.qualityHigh;
  f.quality = qualityWord(quality);
  // A device path is kept whole; a drive letter keeps its letter only.
  if (!trimSpaces(f.cdDrive).empty())
    s.cdDrive = isPath(f.cdDrive) ? cp1252ToUtf8(trimSpaces(f.cdDrive)) : f.cdDrive.substr(0, 1);
  f.announceFiles = orDefault(f.announceFiles, "SIM");
  f.withSilence = orDefault(f.withSilence, "NAO");
  f.withEffect = orDefault(f.withEffect, "NAO");
  f.writeHeader = orDefault(f.writeHeader, "SIM");
  s.announceFiles = f.announceFiles;
  s.withSilence = f.withSilence;
  s.withEffect = f.withEffect;
  s.writeHeader = f.writeHeader;
  f.audioSubdirectory = std::string(trimSpaces(f.audioSubdirectory));
  s.audioSubdirectory = f.audioSubdirectory.empty() ? "WAVMP3" : cp1252ToUtf8(f.audioSubdirectory);
  if (f.linesPerPart < 1) f.linesPerPart = 100;
  s.linesPerPart = f.linesPerPart;
  f.progressSeconds = std::max(f.progressSeconds, 0);
  if (trimSpaces(f.encoderPath).empty()) f.encoderPath = quotedProgram(defaultLamePath());
  s.sapiType = engineTypeCode(f.sapiType, s.sapiType);
  f.sapiType = engineTypeName(s.sapiType);
  f.menuVoice = menuVoiceWord(f.menuVoice);
  f.menuEngine = engineTypeName(engineTypeCode(f.menuEngine, integerOr("SERVFALA", "TIPOSAPI", kEngineEspeak)));
  s.sapiVoice = f.sapiVoice;
  s.sapiSpeed = f.sapiSpeed;
  s.sapiPitch = f.sapiPitch;
  s.useSapi = firstLetter(f.useSapi) != 'N';
  f.bookFormat = s.bookFormat = bookFormatOf(f.bookFormat);
  f.bookAuthor = s.bookAuthor = std::string(trimSpaces(f.bookAuthor));
}

bool storeSettingsFields(const SettingsFields& f) {
  auto upper = [](const std::string& v) { return upperText(v); };
  return writeIniSection(userConfigFile(), "VARLO",
                         {{"SINTETIZARPONTUACAO", upper(f.punctuation)},
                          {"QUALIDADEMP3", std::string(1, qualityLetter(f.quality))},
                          {"CD", isPath(f.cdDrive) ? f.cdDrive : upper(f.cdDrive)},
                          {"CLEK", upper(f.announceFiles)},
                          {"COMSILENCIO", upper(f.withSilence)},
                          {"COMEFEITO", upper(f.withEffect)},
                          {"ESCREVECABEC", upper(f.writeHeader)},
                          {"QUEBRARLINHA", std::to_string(f.linesPerPart)},
                          {"AVISOPROGRESSO", std::to_string(f.progressSeconds)},
                          {"ALTERARSINTESE", upper(f.useSapi)},
                          {"TIPOSAPI", std::to_string(engineTypeCode(f.sapiType, kEngineOlira))},
                          {"NUMEROSAPI", std::to_string(f.sapiVoice)},
                          {"VELOCIDADESAPI", std::to_string(f.sapiSpeed)},
                          {"TONALIDADESAPI", std::to_string(f.sapiPitch)},
                          {"PROG_LAME", f.encoderPath},
                          {"FORMATOLIVRO", bookFormatOf(f.bookFormat)},
                          {"AUTORLIVRO", std::string(trimSpaces(f.bookAuthor))}}) &&
         storeMenuVoice(f);
}

std::vector<std::string> menuVoiceChanges(const SettingsFields& before, const SettingsFields& after) {
  std::vector<std::string> lines;
  if (before.menuVoice != after.menuVoice)
    lines.push_back(labelWords(kMenuVoice) + ": " + after.menuVoice);
  if (before.menuEngine != after.menuEngine)
    lines.push_back(labelWords(kMenuEngine) + ": " + after.menuEngine);
  return lines;
}

void settingsDialog() {
  AppState& s = appState();
  SettingsFields f = currentSettingsFields();
  DisplayFields display = currentDisplayFields();
  bool menuVoiceChanged = false;
  for (;;) {
    setBackgroundColor(scheme::heading.background);
    newLine();
    sayMessage("VLAJUSTE", 1);
    setBackgroundColor(0);
    beep();
    beep();
    addFields(f);
    addDisplayFields(display);
    runForm(true);
    applySettingsFields(f);
    DisplayFields before = currentDisplayFields();
    SettingsFields voiceBefore = currentSettingsFields();
    normaliseDisplayFields(display);
    // A file that cannot be written is said: the user would lose the settings.
    if (!storeSettingsFields(f) || !storeDisplayFields(display)) {
      beep();
      writeLineSpeak(utf8ToCp1252("Não foi possível gravar os ajustes em ") + utf8ToCp1252(userConfigFile()));
    }
    reloadSettings();
    newLine();
    // The window and the magnifier change at once, and each change is said.
    applyDisplaySettings();
    for (const std::string& line : displayChanges(before, currentDisplayFields())) writeLineSpeak(line);
    std::vector<std::string> voiceChanges = menuVoiceChanges(voiceBefore, currentSettingsFields());
    for (const std::string& line : voiceChanges) writeLineSpeak(line);
    // The program's own voice changes now, not at the next start.
    menuVoiceChanged = menuVoiceChanged || !voiceChanges.empty();
    sayMessage("VLAGUARD", 1);
    if (s.useSapi) {
      pause(250);
      selectConversionVoice(s);
      pause(250);
      s.voiceChosen = true;
    }
    beep();
    beep();
    if (!s.useSapi || !tryVoiceAgain()) break;
  }
  s.useSapi = engineActive();
  sayMessage("VLOKAJUS", 1);
  if (s.voiceChosen || menuVoiceChanged) restoreMenuVoice();
  if (menuVoiceChanged && f.menuVoice == "MOTOR" && !engineActive()) {
    beep();
    writeLineSpeak(utf8ToCp1252("O motor " + cp1252ToUtf8(f.menuEngine) +
                                " não está disponível neste sistema; fala a voz gravada."));
  }
}

}  // namespace varlo
