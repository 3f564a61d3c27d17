// Main-menu option C: asking WAV or MP3 (or saying the talking book's
// format), then converting every text of the selection, with a pause when a
// key is pressed between texts.
#include "shell/conversion.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/config.h"
#include "engines/engines.h"
#include "production/book_job.h"
#include "production/mp3_encoders.h"
#include "production/conversion_render.h"
#include "production/conversion_text.h"
#include "production/text_lines.h"
#include "console/console.h"
#include "widgets/file_chooser.h"
#include "speech/speech.h"
#include "base/codepage.h"
#include "shell/app_state.h"
#include "shell/conversion_progress.h"
#include "speech/messages.h"
#include "shell/project.h"
#include "shell/project_options.h"
#include "sound/wave_player.h"

namespace varlo {

// A full path typed in the settings is taken as it is rather than made into
// a subdirectory of that name.
std::string outputDirectory(const AppState& s) {
  if (!s.audioSubdirectory.empty() && s.audioSubdirectory[0] == '/') return s.audioSubdirectory;
  return s.projectDirectory + "/" + (s.audioSubdirectory.empty() ? "WAVMP3" : s.audioSubdirectory);
}

namespace {

void newLine() { writeText("\r\n"); }

void sayText(const std::string& utf8) { writeLineSpeak(utf8ToCp1252(utf8)); }

// The text in the project directory could not be read (the run ends).
void cannotRead() {
  beep();
  beep();
  sayMessage("VLPROABE", 1);
}




// A file can be made in the directory: a folder the user may not write
// would otherwise be blamed on the voice.
bool folderTakesFiles(const std::string& directory) {
  std::string probe = directory + "/.varlo-XXXXXX";
  int fd = mkstemp(probe.data());
  if (fd < 0) return false;
  close(fd);
  unlink(probe.c_str());
  return true;
}

// The W/3 question; false when the user gave up (said).
bool askFormat(AppState& s) {
  recheckEmptyProject();   // texts copied in since the start can be converted
  if (s.noTextFiles && s.noPartFiles) {
    sayMessage("VLDIRNAO", 1);
    return false;
  }
  if (!listSelection()) return false;
  if (s.audioSubdirectory.empty()) s.audioSubdirectory = "WAVMP3";
  newLine();
  sayMessage("VLOSARSE", 0);
  writeLineSpeak(displayName(outputDirectory(s)));
  newLine();
  waitWhileBusy();
  s.mp3Output = false;
  // A talking book's format was chosen in the settings; its audio is MP3.
  if (s.bookFormat != "MP3") {
    sayText("OK, irei fazer os livros no formato " + s.bookFormat);
    return true;
  }
  sayMessage("VLDIGW3", 0);
  uint8_t key = readAnswerKey();
  if (key == 'W' || key == 'w') {
    sayMessage("VLCONWAV", 1);
    return true;
  }
  if (key == '3') {
    sayMessage("VLCONMP3", 1);
    s.mp3Output = true;
    return true;
  }
  sayMessage(key == key::Esc ? "VLDESIST" : "VLOPCAN", 1);
  return false;
}

// A part "LIVRO_007.PAR" is track 7 of the album of its text.
int partNumber(const std::string& name) {
  std::string base = withoutExtension(name);
  if (base.size() < 4 || base[base.size() - 4] != '_') return 0;
  int n = 0;
  for (char c : base.substr(base.size() - 3)) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

// What conversion must know of a text before speaking it, from one pass
// over its lines.
struct TextSummary {
  std::string firstLine;     // the first line that is not blank, trimmed
  bool markers = false;      // a voice or effect marker starts some line
};

bool summarize(const std::string& path, bool utf8, TextSummary& summary) {
  SpeechLines text;
  if (!openSpeechLines(text, path, utf8)) return false;
  for (std::string line; nextSpeechLine(text, line);) {
    if (summary.firstLine.empty()) summary.firstLine = trimBlanks(line);
    summary.markers = summary.markers || line.starts_with("#SAPI#") || line.starts_with("#SOM#");
  }
  bool whole = !text.reader.failed;
  closeSpeechLines(text);
  return whole;
}

Mp3Tags tagsFor(const AppState& s, const std::string& name, const TextSummary& summary) {
  Mp3Tags tags;
  std::string base = displayName(withoutExtension(name));
  tags.track = partNumber(name);
  tags.title = base;
  tags.album = base;
  if (tags.track > 0) {
    const std::string& first = summary.firstLine;
    if (!first.empty() && first[0] != '#') tags.title = first.substr(0, 120);
    bool named = !s.audioSubdirectory.empty() && s.audioSubdirectory != "WAVMP3";
    std::string folder = s.audioSubdirectory.substr(s.audioSubdirectory.find_last_of('/') + 1);
    tags.album = named ? displayName(folder) : base.substr(0, base.size() - 4);
  }
  tags.title = cp1252ToUtf8(tags.title);
  tags.album = cp1252ToUtf8(tags.album);
  return tags;
}

// encoding: the MP3 is being made, and its result is told later.
enum class FileResult { converted, encoding, skipped, failed, endRun };

RenderOptions renderOptions(const AppState& s) {
  RenderOptions o;
  o.suiteSpeechSpeed = s.suiteSpeechSpeed;
  o.useEngine = s.useSapi;
  o.voiceChosen = s.voiceChosen;
  o.engineType = s.sapiType;
  o.voice = s.sapiVoice;
  o.speed = s.sapiSpeed;
  o.pitch = s.sapiPitch;
  o.withSilence = isYes(s.withSilence);
  o.effectDirectory = s.projectDirectory;
  return o;
}

void pauseIfAsked();

// The wait for a free encoder can be long: a key pauses the run there too.
void waitForFreeEncoderOrPause() {
  while (!waitForFreeEncoder()) pauseIfAsked();
}


// No encoder could be started: the rest of the run stays WAV.
void encoderMissing(AppState& s) {
  s.mp3Output = false;
  beep();
  beep();
  sayMessage("VLNAOLAM", 1);
  sayMessage("VLCONCAN", 1);
}

// The lines of a book's text handed to the renderer one section at a time:
// a heading ends the section in progress once it has said something, and
// begins the next one.
struct SectionLines {
  TextStructure structure;
  StructuredLine held;       // the heading that begins the next section
  bool holding = false, ended = false;
  bool spoken = false;       // the section in progress has said something

  bool next(StructuredLine& line) {
    if (holding) {
      line = std::move(held);
      holding = false;
    } else if (ended || !nextStructuredLine(structure, line)) {
      ended = true;
      return false;
    } else if (line.role == LineRole::heading && spoken) {
      held = std::move(line);
      holding = true;
      spoken = false;
      return false;
    }
    bool marker = line.text.starts_with("#SAPI#") || line.text.starts_with("#SOM#");
    spoken = spoken || (line.role != LineRole::pageBreak && !marker && !trimBlanks(line.text).empty());
    return true;
  }
};

// A section's marks take their place after the sections before it. The
// heading that begins it marks its first frame, so that the silence before
// the heading is the section's own and the sections meet where their files do.
void appendSection(SampleSink& book, SampleSink& section) {
  if (book.rate == 0) book.rate = section.rate;
  bool first = true;
  for (AudioMark& m : section.marks) {
    if (first && m.kind == AudioMark::Kind::heading) m.frame = 0;
    if (m.kind != AudioMark::Kind::page) first = false;
    m.frame += book.frames;
    book.marks.push_back(std::move(m));
  }
  book.frames += section.frames;
}

bool saysSomething(const SampleSink& sink) {
  for (const AudioMark& m : sink.marks)
    if (m.kind != AudioMark::Kind::page) return true;
  return false;
}

// A talking book of the text: rendered with its structure one section at a
// time, each section's WAV file encoded while the next one is rendered, and
// the book's files written in a folder (DAISY) or a file (EPUB) named after
// the text. The progress is said per section; a failure says how far the
// book got and leaves no book.
FileResult convertBook(AppState& s, const std::string& name, bool utf8) {
  std::string textPath = s.projectDirectory + "/" + name;
  setTitle("VARLO convertendo " + displayName(textPath));
  SpeechLines lines;
  if (!openSpeechLines(lines, textPath, utf8)) {
    cannotRead();
    return FileResult::endRun;
  }
  AudioNames names = audioNames(name, outputDirectory(s));
  std::string title = displayName(names.baseName);
  BookJob job;
  job.format = s.bookFormat == "EPUB" ? BookFormat::epub : BookFormat::daisy;
  job.facts = {title, s.bookAuthor.empty() ? "Desconhecido" : s.bookAuthor,
               "varlo-" + names.wavName.substr(0, names.wavName.size() - 4), "VARLO"};
  job.mp3Options = s.mp3Options;
  job.bookPath = names.directory + "/" + names.baseName +
                 (job.format == BookFormat::epub ? ".epub" : "_DAISY");
  SectionLines source;
  openTextStructure(source.structure, [&](std::string& line) {
    bool more = nextSpeechLine(lines, line);
    countProgress(line.size() + 1);
    return more;
  });
  BookMaking book;
  if (!startBook(job, book)) {
    closeSpeechLines(lines);
    beep();
    sayText("Não consegui criar o livro " + cp1252ToUtf8(displayName(job.bookPath)) + ".");
    return FileResult::failed;
  }
  RenderResult rendered = RenderResult::done;
  AudioNames part = names;
  part.wavName = names.wavName.substr(0, names.wavName.size() - 4) + "_secao.wav";
  std::string partPath = names.directory + "/" + part.wavName;
  RenderOptions options = renderOptions(s);
  options.betweenRequests = progressBetweenRequests;
  std::error_code sizeError;
  uint64_t textBytes = std::filesystem::file_size(textPath, sizeError);
  startProgress(sizeError ? 0 : textBytes, partPath);
  while (rendered == RenderResult::done && book.result == BookResult::done && !source.ended) {
    SampleSink section;
    rendered = renderText([&](StructuredLine& line) { return source.next(line); }, part, options,
                          section);
    if (rendered != RenderResult::done) break;
    if (!saysSomething(section)) {
      // Nothing but silence or page breaks: the pages begin where the next section does.
      for (AudioMark& m : section.marks) job.sink.marks.push_back({m.kind, job.sink.frames, "", 0});
      std::remove(partPath.c_str());
      continue;
    }
    appendSection(job.sink, section);
    writeLineSpeak(utf8ToCp1252("Seção " + std::to_string(book.handedOver + 1)));
    addBookSection(job, book, partPath);
  }
  bool cut = lines.reader.failed;
  closeSpeechLines(lines);
  std::remove(partPath.c_str());
  if (cut && rendered == RenderResult::done) {
    rendered = RenderResult::writeFailed;
    cannotRead();
  }
  if (rendered != RenderResult::done) {
    abandonBook(book);
    if (rendered == RenderResult::diskFull) farewell(1);
    return rendered == RenderResult::voiceFailed ? FileResult::failed : FileResult::endRun;
  }
  size_t done = 0;
  BookResult made = finishBook(job, book, done);
  if (made == BookResult::done) {
    writeLineSpeak("Livro " + s.bookFormat + " pronto: " + displayName(job.bookPath));
    return FileResult::converted;
  }
  beep();
  sayText(std::string(made == BookResult::encoderFailed ? "O codificador de MP3 falhou"
                                                         : "Não consegui gravar o livro (disco cheio?)") +
          "; " + std::to_string(done) + " seções tinham sido feitas. O livro não foi terminado.");
  return FileResult::failed;
}

// The encoder of a text recorded in one go takes its WAV as it grows, so
// that the encoding ends soon after the recording; another text's WAV is
// encoded once whole, while the next text renders.
// The text is read as it is spoken, never held whole: a book of any size
// takes little memory.
FileResult convertFile(AppState& s, const std::string& name, bool utf8) {
  std::string textPath = s.projectDirectory + "/" + name;
  setTitle("VARLO convertendo " + displayName(textPath));
  TextSummary summary;
  SpeechLines text;
  if (!summarize(textPath, utf8, summary) || !openSpeechLines(text, textPath, utf8)) {
    cannotRead();
    return FileResult::endRun;
  }
  AudioNames names = audioNames(name, outputDirectory(s));
  std::string wavPath = names.directory + "/" + names.wavName;
  Mp3Job job{s.mp3Options, tagsFor(s, name, summary), names};
  // A text with voice or effect markers is put together from pieces after
  // the recording; any other is recorded into its WAV in one go.
  bool asItGrows = s.mp3Output && !summary.markers;
  bool missing = false;
  if (asItGrows) {
    waitForFreeEncoderOrPause();
    std::remove(wavPath.c_str());   // the encoder must follow the new recording
    missing = !startEncodingWhileRecording(job);
    if (missing) encoderMissing(s);
  }
  SampleSink sink;
  RenderOptions options = renderOptions(s);
  options.betweenRequests = progressBetweenRequests;
  std::error_code sizeError;
  uint64_t textBytes = std::filesystem::file_size(textPath, sizeError);
  startProgress(sizeError ? 0 : textBytes, wavPath);
  RenderResult rendered = renderText(
      [&](StructuredLine& line) {
        bool more = nextSpeechLine(text, line.text);
        countProgress(line.text.size() + 1);
        return more;
      },
      names, options, sink);
  // A text that could not be read to its end was not spoken whole.
  bool cut = text.reader.failed;
  closeSpeechLines(text);
  if (cut && rendered == RenderResult::done) {
    std::remove(wavPath.c_str());
    rendered = RenderResult::writeFailed;
    cannotRead();
  }
  if (asItGrows && !missing) recordingEnded(rendered == RenderResult::done);
  // A full disk ends the program; the status tells a batch caller it failed.
  if (rendered == RenderResult::diskFull) farewell(1);
  if (rendered == RenderResult::voiceFailed) return FileResult::failed;
  if (rendered != RenderResult::done) return FileResult::endRun;
  if (missing) return FileResult::failed;
  if (!s.mp3Output) return FileResult::converted;
  if (asItGrows) return FileResult::encoding;
  waitForFreeEncoderOrPause();
  if (startEncoding(job)) return FileResult::encoding;
  encoderMissing(s);
  return FileResult::failed;
}

// A key pressed during a conversion pauses the run; Esc then S ends the
// program.
void pauseIfAsked() {
  if (!keyPending()) return;
  beep();
  beep();
  sayMessage("VLUMATEC", 1);
  pause(100);
  sayMessage("VLMODPAU", 1);
  uint8_t key = readAnswerKey();
  if (key == key::Esc) {
    sayMessage("VLDCC", 0);
    uint8_t answer = readAnswerKey();
    if (answer == 'S' || answer == 's') {
      sayMessage("VLOK", 1);
      farewell();
    }
  } else {
    flushKeys();
  }
  sayMessage("VLPAUDES", 1);
}

FileResult convertOne(AppState& s, const std::string& name) {
  TextFacts facts;
  if (!scanTextFile(s.projectDirectory + "/" + name, facts)) {
    cannotRead();
    return FileResult::endRun;
  }
  if (facts.binary) {
    writeLineSpeak(displayName(name) + utf8ToCp1252(" não é um texto e não será convertido."));
    return FileResult::skipped;
  }
  if (isYes(s.announceFiles)) {
    newLine();
    sayMessage("VLCONVER", 0);
    writeLineSpeak(displayName(name));
    newLine();
    waitWhileBusy();
  }
  std::string directory = outputDirectory(s);
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (!std::filesystem::is_directory(directory, error)) {
    for (int i = 0; i < 3; ++i) beep();
    writeLineSpeak("- ERRO - Function TrocaDir");
    sayText("Não consegui criar o diretório dos arquivos de áudio; a conversão foi interrompida.");
    return FileResult::endRun;
  }
  if (!folderTakesFiles(directory)) {
    writeLineSpeak(utf8ToCp1252("Não consigo gravar na pasta de áudio ") + displayName(directory) +
                   utf8ToCp1252(": verifique as permissões. A conversão foi interrompida."));
    return FileResult::endRun;
  }
  if (s.bookFormat != "MP3") return convertBook(s, name, facts.utf8);
  return convertFile(s, name, facts.utf8);
}

// Success is said only when every text became its audio; otherwise how many
// did not, so that a failed part is never reported as done.
void sayOutcome(size_t failed, size_t total) {
  if (failed == 0) return sayMessage("VLCONSUC", 1);
  beep();
  sayText(failed == 1 ? "Conversão terminada, mas 1 de " + std::to_string(total) +
                            " arquivos não foi convertido."
                      : "Conversão terminada, mas " + std::to_string(failed) + " de " +
                            std::to_string(total) + " arquivos não foram convertidos.");
}

// True when every text became its audio file.
bool convertAll(AppState& s) {
  const std::vector<std::string> selection = s.selection;
  size_t failed = 0;
  int part = 0;
  for (const std::string& name : selection) {
    setProgressPart(++part, int(selection.size()));
    FileResult result = convertOne(s, name);
    if (result == FileResult::endRun) {
      tellEncoderResults(true);   // the texts before this one are kept
      return false;
    }
    if (result != FileResult::converted && result != FileResult::encoding) ++failed;
    failed += tellEncoderResults(false);
    pauseIfAsked();
    newLine();
    writeText(utf8ToCp1252("Verificando a existência de outro arquivo"));
    newLine();
  }
  failed += tellEncoderResults(true);
  sayMessage("VLULTARQ", 1);
  sayOutcome(failed, selection.size());
  return failed == 0;
}

// Speech Dispatcher cannot record: books in voice type 4 are read by the
// outside voice, and without one the user learns what to set before
// anything is asked or rendered.
bool outsideVoiceReady(const AppState& s) {
  if (!s.useSapi || s.sapiType != kEngineOldInterface) return true;
  if (!trimBlanks(readPathSetting("TRADUTOR", "VOZEXTERNA")).empty()) return true;
  beep();
  sayText("Para converter com a voz do tipo 4, a do Speech Dispatcher, indique em VOZEXTERNA, "
          "na seção [TRADUTOR] da configuração, um comando que leia o texto e escreva o som "
          "em WAV, por exemplo: espeak-ng -v pt-br --stdout. Nada foi convertido.");
  return false;
}

}  // namespace

bool convertSelection() {
  AppState& s = appState();
  // The voice saved in the settings, unless one was chosen in this run.
  loadVoiceOnFirstUse(s);
  bool all = outsideVoiceReady(s) && (s.commandLineMode || askFormat(s)) && convertAll(s);
  waveSettings().keyInterrupt = true;
  setTitle("VARLO");
  return all;
}

}  // namespace varlo
