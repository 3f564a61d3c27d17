// Rendering one text into a WAV file: speaking it through the engine into
// pieces joined, with voice switches, effects and silences, into temp.wav.
#include "production/conversion_render.h"

#include <unistd.h>

#include <algorithm>
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

// A mark in the piece being recorded, before the piece's place in the
// whole is known.
struct PieceMark {
  AudioMark::Kind kind;
  uint64_t bytes;   // of the piece's samples before the mark
  std::string text;
  int rank = 0;
};

// One text's rendering, from its first line to its last.
struct Render {
  AudioNames names;
  RenderOptions options;
  std::string wavPath;          // names.wavName in the directory
  std::string joinedPath;       // "temp.wav" in the directory
  SampleSink* sink = nullptr;
  std::vector<PieceMark> pieceMarks;
  uint64_t joinedFrames = 0;    // frames of "temp.wav"
  std::string pending;          // gathered for the next request
  bool piecesJoined = false;    // "temp.wav" holds the pieces closed so far
  bool silencesAllowed = false;
  bool voiceLost = false;       // the voice could not record: stop rendering
  bool writeFailed = false;     // a piece was not written whole (a full disk)
  bool diskFull = false;        // joining the pieces failed: the program must end
  OutsideFailure outsideFailure = OutsideFailure::none;   // the outside voice gave up
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

// The outside voice's failure is noted before a voice switch closes it.
void speakAndWait(std::string_view text) {
  speakText(text);
  waitUntilSilent();
  if (r.outsideFailure == OutsideFailure::none) r.outsideFailure = engineRecordingFailure();
}

// Blanks left over after the last phrase are still spoken, as they always
// were, but mark nothing.
void speakRequest(const std::string& text, AudioMark::Kind kind = AudioMark::Kind::request) {
  if (!trimBlanks(text).empty()) r.pieceMarks.push_back({kind, engineOutputBytes(), text});
  speakAndWait(text);
  if (r.options.betweenRequests) r.options.betweenRequests();
}

void reinitialiseFrontEnd() {
  shutdownSpeech();
  initSpeech(0, readPathSetting("VARLO", "DIRVARLO"));
}

// Record into the WAV file with a voice; false when it cannot record.
bool recordWith(int type, int voice, int speed, int pitch) {
  const RenderOptions& o = r.options;
  setSpeechOutputFile(r.wavPath);
  reconfigureSpeech(o.suiteSpeechSpeed, o.useEngine, type, voice, speed, pitch);
  r.silencesAllowed = type == kEngineEspeak;
  return engineActive() && engineOutputFile() == r.wavPath;
}

bool recordWithConfiguredVoice() {
  const RenderOptions& o = r.options;
  if (o.voiceChosen) return recordWith(o.engineType, o.voice, o.speed, o.pitch);
  setSpeechOutputFile(r.wavPath);
  reinitialiseFrontEnd();
  r.silencesAllowed = o.engineType == kEngineEspeak;
  return engineActive() && engineOutputFile() == r.wavPath;
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

void sayOutsideFailure(OutsideFailure failure) {
  const char* what = "";
  switch (failure) {
    case OutsideFailure::notStarted:
      what = "Não consegui iniciar a voz externa: verifique o comando VOZEXTERNA na seção [TRADUTOR].";
      break;
    case OutsideFailure::failed: what = "A voz externa terminou com erro."; break;
    case OutsideFailure::overran:
      what = "A voz externa não terminou a tempo e foi interrompida (o limite, em segundos, "
             "é VOZEXTERNALIMITE na seção [TRADUTOR]).";
      break;
    case OutsideFailure::noSound: what = "A voz externa não devolveu som em formato WAV."; break;
    case OutsideFailure::none: return;
  }
  beep();
  sayProblem(what);
  sayProblem("Este texto não foi convertido e o áudio incompleto foi apagado; "
             "o texto continua no projeto para uma nova tentativa.");
}

uint64_t framesOf(const WaveInfo& info) {
  return info.format.blockAlign > 0 ? info.dataSize / info.format.blockAlign : 0;
}

// The marks of the closed piece take their place in the whole: after the
// pieces joined before it, counted in the whole's rate, into which a piece
// of another rate is converted when joined.
void settlePieceMarks() {
  WaveInfo piece;
  bool known = readWaveInfo(r.wavPath, piece) && piece.format.sampleRate > 0;
  if (known && r.sink->rate == 0) r.sink->rate = int(piece.format.sampleRate);
  for (PieceMark& m : r.pieceMarks) {
    uint64_t frame = 0;
    if (known) {
      frame = m.bytes / std::max<uint16_t>(1, piece.format.blockAlign);
      frame = frame * uint64_t(r.sink->rate) / piece.format.sampleRate;
    }
    r.sink->marks.push_back({m.kind, r.joinedFrames + frame, std::move(m.text), m.rank});
  }
  r.pieceMarks.clear();
}

void countJoined() {
  WaveInfo joined;
  if (readWaveInfo(r.joinedPath, joined)) r.joinedFrames = framesOf(joined);
}

void joinIntoResult(const std::string& name) {
  if (joinWav(name, 2, r.joinedPath) == JoinResult::diskFull) r.diskFull = true;
}

// The first closed piece becomes "temp.wav"; every later one is appended,
// and an effect follows the piece before it. False when the disk is full.
bool joinPiece(const std::string& effect) {
  settlePieceMarks();
  if (!r.piecesJoined) {
    std::remove(r.joinedPath.c_str());
    r.piecesJoined = std::rename(r.wavPath.c_str(), r.joinedPath.c_str()) == 0;
    if (!r.piecesJoined) sayProblem("Não consegui guardar o trecho gravado.");
  } else {
    joinIntoResult(r.wavPath);
  }
  if (!effect.empty() && r.piecesJoined && !r.diskFull) joinIntoResult(effect);
  countJoined();
  return !r.diskFull;
}

void insertSilence(const char* milliseconds) {
  if (!r.silencesAllowed) return;
  bool previous = xmlMode();
  setXmlMode(true);
  speakText(std::string("<silence msec=\"") + milliseconds + "\"/>");
  waitUntilSilent();
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

// A heading is a request of its own, so that its audio begins at its mark,
// and ends the paragraph before it.
void speakHeading(const StructuredLine& line) {
  flushPending();
  r.pieceMarks.push_back({AudioMark::Kind::heading, engineOutputBytes(), line.text, line.rank});
  speakAndWait(line.text);
  if (r.options.withSilence) insertSilence("500");
}

// A page begins where the request in progress ends.
void markPage() {
  if (!trimBlanks(r.pending).empty()) speakRequest(r.pending);
  r.pending.clear();
  r.pieceMarks.push_back({AudioMark::Kind::page, engineOutputBytes(), ""});
}

void speakLine(const StructuredLine& structured) {
  if (structured.role == LineRole::heading) return speakHeading(structured);
  if (structured.role == LineRole::pageBreak) return markPage();
  std::string_view text = structured.text;
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
  settlePieceMarks();
  if (!r.piecesJoined) {
    WaveInfo whole;
    if (readWaveInfo(r.wavPath, whole)) r.sink->frames = framesOf(whole);
    return;
  }
  JoinResult result = joinWav(r.wavPath, 2, r.joinedPath);
  if (result == JoinResult::diskFull) r.diskFull = true;
  if (result == JoinResult::done) {
    countJoined();
    r.sink->frames = r.joinedFrames;
    std::remove(r.wavPath.c_str());
    std::rename(r.joinedPath.c_str(), r.wavPath.c_str());
  }
}

// The disk is full: the joined pieces and the piece in progress are no use
// and would only take room, or pass for the whole text.
RenderResult abandonFullDisk() {
  std::remove(r.joinedPath.c_str());
  std::remove(r.wavPath.c_str());
  return RenderResult::diskFull;
}

RenderResult renderWhole(const LineSource& nextLine) {
  std::remove(r.joinedPath.c_str());
  if (!recordWithConfiguredVoice()) {
    closeRecording();
    sayProblem("A voz configurada não pôde gravar o arquivo de áudio.");
    return RenderResult::noVoice;
  }
  waveSettings().keyInterrupt = false;
  bool silences = r.options.withSilence;
  if (silences) insertSilence("2000");
  for (StructuredLine line; nextLine(line);) {
    speakLine(line);
    if (r.diskFull) return abandonFullDisk();
    if (r.voiceLost || r.writeFailed || r.outsideFailure != OutsideFailure::none) break;
  }
  speakOrdinary("");
  if (silences) insertSilence("2000");
  closeRecording();
  if (r.writeFailed) {
    // A cut recording would pass for the whole text.
    std::remove(r.joinedPath.c_str());
    std::remove(r.wavPath.c_str());
    sayProblem("Não consegui gravar o arquivo de áudio por inteiro (disco cheio?); "
               "o arquivo incompleto foi apagado e a conversão foi interrompida.");
    return RenderResult::writeFailed;
  }
  if (r.outsideFailure != OutsideFailure::none) {
    // What was recorded would pass for the whole text.
    std::remove(r.joinedPath.c_str());
    std::remove(r.wavPath.c_str());
    sayOutsideFailure(r.outsideFailure);
    return RenderResult::voiceFailed;
  }
  if (r.voiceLost) {
    std::remove(r.joinedPath.c_str());
    sayProblem("A voz configurada não pôde gravar o arquivo de áudio.");
    return RenderResult::noVoice;
  }
  joinLastPiece();
  return r.diskFull ? abandonFullDisk() : RenderResult::done;
}

}  // namespace

RenderResult renderText(const LineSource& nextLine, const AudioNames& names,
                        const RenderOptions& options, SampleSink& sink) {
  r = Render{};
  r.names = names;
  r.options = options;
  std::string directory = names.directory.empty() ? "." : names.directory;
  if (directory.back() != '/') directory += '/';
  r.wavPath = directory + names.wavName;
  r.joinedPath = directory + kJoined;
  sink = SampleSink{};
  r.sink = &sink;
  // Until the text is whole, a program ended from outside takes these along.
  std::string joinScratch = directory + kJoinScratch;
  for (const std::string* scratch : {&r.joinedPath, &joinScratch, &r.wavPath}) holdScratchFile(*scratch);
  RenderResult result = renderWhole(nextLine);
  for (const std::string* scratch : {&r.joinedPath, &joinScratch, &r.wavPath}) releaseScratchFile(*scratch);
  r.sink = nullptr;
  return result;
}

}  // namespace varlo
