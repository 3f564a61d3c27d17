// Rendering one text into a WAV file: speaking it through the engine into
// pieces joined, with voice switches, effects and silences, into temp.wav.
#include "production/conversion_render.h"

#include <unistd.h>

#include <cstdio>

#include "platform/scratch_files.h"
#include "production/text_lines.h"
#include "sound/wav_buffer.h"
#include "base/config.h"
#include "console/console.h"
#include "speech/speech.h"
#include "base/codepage.h"
#include "engines/engines.h"
#include "sound/wave_player.h"

namespace varlo {

namespace {

constexpr const char* kJoined = "temp.wav";
constexpr const char* kJoinScratch = "ARQ_WAV.$$$";   // the joiner's scratch file

// One text's rendering, from its first line to its last.
struct Render {
  AudioNames names;
  RenderOptions options;
  std::string pending;          // gathered for the next request
  bool piecesJoined = false;    // "temp.wav" holds the pieces closed so far
  bool silencesAllowed = false;
  bool voiceLost = false;       // the voice could not record: stop rendering
  bool writeFailed = false;     // a piece was not written whole (a full disk)
  bool diskFull = false;        // joining the pieces failed: the program must end
};

Render r;

// Rendering into a file makes no sound, so speech ends as soon as the
// engine has written it; the short sleep only matters for an engine that
// really speaks.
void waitUntilSilent() {
  while (isSpeaking(false)) {
    pumpMessages();
    usleep(5000);
  }
}

void speakRequest(const std::string& text) {
  speakText(text);
  waitUntilSilent();
}

void reinitialiseFrontEnd() {
  shutdownSpeech();
  initSpeech(0, readPathSetting("VARLO", "DIRVARLO"));
}

// Record into the WAV file with a voice; false when it cannot record.
bool recordWith(int type, int voice, int speed, int pitch) {
  const RenderOptions& o = r.options;
  setSpeechOutputFile(r.names.wavName);
  reconfigureSpeech(o.suiteSpeechSpeed, o.useEngine, type, voice, speed, pitch);
  r.silencesAllowed = type == kEngineEspeak;
  return engineActive() && engineOutputFile() == r.names.wavName;
}

bool recordWithConfiguredVoice() {
  const RenderOptions& o = r.options;
  if (o.voiceChosen) return recordWith(o.engineType, o.voice, o.speed, o.pitch);
  setSpeechOutputFile(r.names.wavName);
  reinitialiseFrontEnd();
  r.silencesAllowed = o.engineType == kEngineEspeak;
  return engineActive() && engineOutputFile() == r.names.wavName;
}

// Finish the recording in progress so that its WAV file is complete; a
// piece the engine could not write whole is noted.
void closeRecording() {
  waitUntilSilent();
  setSpeechOutputFile("");
  shutdownSpeech();
  if (engineOutputFailed()) r.writeFailed = true;
  initSpeech(0, readPathSetting("VARLO", "DIRVARLO"));
}

void sayProblem(const char* utf8) { writeLineSpeak(utf8ToCp1252(utf8)); }

void joinIntoResult(const std::string& name) {
  if (joinWav(name, 2, kJoined) == JoinResult::diskFull) r.diskFull = true;
}

// The first closed piece becomes "temp.wav"; every later one is appended,
// and an effect follows the piece before it. False when the disk is full.
bool joinPiece(const std::string& effect) {
  if (!r.piecesJoined) {
    std::remove(kJoined);
    r.piecesJoined = std::rename(r.names.wavName.c_str(), kJoined) == 0;
    if (!r.piecesJoined) sayProblem("Não consegui guardar o trecho gravado.");
  } else {
    joinIntoResult(r.names.wavName);
  }
  if (!effect.empty() && r.piecesJoined && !r.diskFull) joinIntoResult(effect);
  return !r.diskFull;
}

void insertSilence(const char* milliseconds) {
  if (!r.silencesAllowed) return;
  bool previous = xmlMode();
  setXmlMode(true);
  speakRequest(std::string("<silence msec=\"") + milliseconds + "\"/>");
  setXmlMode(previous);
}

void flushPending() {
  if (!r.pending.empty()) speakRequest(r.pending);
  r.pending.clear();
  if (r.options.withSilence) insertSilence("500");
}

// The piece in progress ends; recording goes on with the given voice, or
// with the configured voice when that one cannot record.
void switchVoice(const VoiceMarker& v) {
  closeRecording();
  if (!joinPiece("")) return;
  stopSpeech();
  if (recordWith(v.type, v.voice, v.speed, v.pitch)) return;
  sayProblem("A voz indicada no texto não pôde ser usada; continuo com a voz configurada.");
  r.voiceLost = !recordWithConfiguredVoice();
}

// An effect named in the text: as given, in the project directory, or the
// configured default for an empty name. "" when there is no such file.
std::string findEffect(const std::string& name) {
  std::string file = name.empty() ? readPathSetting("VARLO", "SOMEFEITO") : name;
  if (file.empty()) return "";
  if (access(file.c_str(), R_OK) == 0) return file;
  std::string inProject = r.options.effectDirectory + "/" + file;
  if (file[0] != '/' && access(inProject.c_str(), R_OK) == 0) return inProject;
  return "";
}

void insertEffect(const std::string& effect) {
  closeRecording();
  if (!joinPiece(effect)) return;
  stopSpeech();
  r.voiceLost = !recordWithConfiguredVoice();
}

void speakOrdinary(std::string_view line);

void speakLine(const std::string& line) {
  std::string_view text = line;
  if (text.substr(0, 6) == "#SAPI#") {
    if (!trimBlanks(r.pending).empty()) flushPending();
    VoiceMarker marker;
    std::string rest;
    if (parseVoiceFields(text.substr(6), marker, rest)) return switchVoice(marker);
    return speakOrdinary(rest);
  }
  if (text.substr(0, 5) == "#SOM#") {
    if (!trimBlanks(r.pending).empty()) flushPending();
    std::string name(trimBlanks(text.substr(5)));
    std::string effect = findEffect(name);
    if (!effect.empty()) return insertEffect(effect);
    return speakOrdinary(name);
  }
  speakOrdinary(text);
}

// An ordinary line: gathered into requests, or a paragraph end when empty.
void speakOrdinary(std::string_view line) {
  std::string trimmed(trimBlanks(line));
  if (trimmed.empty()) return flushPending();
  std::vector<std::string> requests;
  gatherPhrases(r.pending, trimmed, requests);
  for (const std::string& request : requests) speakRequest(request);
}

// The last piece joins the earlier ones; the result takes the WAV name.
void joinLastPiece() {
  if (!r.piecesJoined) return;
  JoinResult result = joinWav(r.names.wavName, 2, kJoined);
  if (result == JoinResult::diskFull) r.diskFull = true;
  if (result == JoinResult::done) {
    std::remove(r.names.wavName.c_str());
    std::rename(kJoined, r.names.wavName.c_str());
  }
}

// The disk is full: the joined pieces and the piece in progress are no use
// and would only take room, or pass for the whole text.
RenderResult abandonFullDisk() {
  std::remove(kJoined);
  std::remove(r.names.wavName.c_str());
  return RenderResult::diskFull;
}

RenderResult renderWhole(const LineSource& nextLine) {
  std::remove(kJoined);
  std::remove("arq_wav.$$$");
  std::remove(kJoinScratch);
  if (!recordWithConfiguredVoice()) {
    closeRecording();
    sayProblem("A voz configurada não pôde gravar o arquivo de áudio.");
    return RenderResult::noVoice;
  }
  waveSettings().keyInterrupt = false;
  bool silences = r.options.withSilence;
  if (silences) insertSilence("2000");
  for (std::string line; nextLine(line);) {
    speakLine(line);
    if (r.diskFull) return abandonFullDisk();
    if (r.voiceLost || r.writeFailed) break;
  }
  speakOrdinary("");
  if (silences) insertSilence("2000");
  closeRecording();
  if (r.writeFailed) {
    // A cut recording would pass for the whole text.
    std::remove(kJoined);
    std::remove(r.names.wavName.c_str());
    sayProblem("Não consegui gravar o arquivo de áudio por inteiro (disco cheio?); "
               "o arquivo incompleto foi apagado e a conversão foi interrompida.");
    return RenderResult::writeFailed;
  }
  if (r.voiceLost) {
    std::remove(kJoined);
    sayProblem("A voz configurada não pôde gravar o arquivo de áudio.");
    return RenderResult::noVoice;
  }
  joinLastPiece();
  return r.diskFull ? abandonFullDisk() : RenderResult::done;
}

}  // namespace

RenderResult renderText(const LineSource& nextLine, const AudioNames& names,
                        const RenderOptions& options) {
  r = Render{};
  r.names = names;
  r.options = options;
  // Until the text is whole, a program ended from outside takes these along.
  for (const char* scratch : {kJoined, kJoinScratch}) holdScratchFile(scratch);
  holdScratchFile(names.wavName);
  RenderResult result = renderWhole(nextLine);
  for (const char* scratch : {kJoined, kJoinScratch}) releaseScratchFile(scratch);
  releaseScratchFile(names.wavName);
  return result;
}

}  // namespace varlo
