// Rendering one text into one WAV file in a given directory: the text is
// spoken in phrase-sized requests into the engine's output file, and every
// voice or effect marker closes the piece recorded so far, which is joined
// (with the effect's sound) into "temp.wav" beside it. Where every request
// and every heading begins in the result is recorded as it is spoken.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "production/conversion_text.h"
#include "production/text_structure.h"

namespace varlo {

enum class RenderResult {
  done,        // names.wavName holds the whole text
  noVoice,     // the voice could not record into the file (said)
  writeFailed, // the file could not be written whole (a full disk): removed (said)
  voiceFailed, // the outside voice failed on a request: removed (said), the next text may go on
  diskFull,    // joining the pieces failed (said), nothing kept: the caller ends the program
};

// The voice and the switches a rendering works with.
struct RenderOptions {
  int suiteSpeechSpeed = 2;     // speed level of the front end while recording
  bool useEngine = false;       // an engine may be opened at all
  bool voiceChosen = false;     // the voice below was chosen in this run
  int engineType = 3, voice = 0, speed = 0, pitch = 0;
  bool withSilence = false;     // silences at paragraph ends and around the text
  std::string effectDirectory;  // also searched for effects named without a directory
  // Called after each request is recorded: the caller's chance to say how
  // far the rendering got and to answer a key.
  std::function<void()> betweenRequests;
};

// Where a request, a heading or a page begins in the rendered WAV file.
struct AudioMark {
  enum class Kind { request, heading, page };
  Kind kind = Kind::request;
  uint64_t frame = 0;   // sample frame of the whole recording
  std::string text;     // what is spoken from there (Windows-1252); "" for a page
  int rank = 0;         // of a heading
};

// What a rendering leaves beside its WAV file: the rate its frames count in
// and the marks in the order they were spoken. Complete only when the
// rendering is done.
struct SampleSink {
  int rate = 0;
  uint64_t frames = 0;   // of the whole recording
  std::vector<AudioMark> marks;
};

// The next line of the text; false at its end. A text is spoken as it is
// read, never held whole. A heading is spoken as a request of its own; a
// page break ends the request in progress.
using LineSource = std::function<bool(StructuredLine& line)>;

// Speak the lines into names.wavName in names.directory.
RenderResult renderText(const LineSource& nextLine, const AudioNames& names,
                        const RenderOptions& options, SampleSink& sink);

}  // namespace varlo
