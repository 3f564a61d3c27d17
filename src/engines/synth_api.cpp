// The synthesizer's calls and its one module state.
#include <cmath>
#include <filesystem>

#include "engines/synth.h"
#include "engines/synth_parse.h"
#include "engines/synth_queue.h"
#include "engines/synth_render.h"
#include "engines/synth_voice.h"

namespace varlo {
namespace {

struct SynthState {
  bool ready = false;
  Voice voice;
  int noErrorCode = 0;
  LineBuffer input;
  PhoneQueue queue;
  Renderer renderer;
  std::string lastError;
};

SynthState state;

// The voice file itself, or the file "br4" inside a directory.
std::string voiceFilePath(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec) ? path + "/br4" : path;
}

int lineSamples(double ms) { return static_cast<int>(std::lround(ms * kSynthSampleRate / 1000.0)); }

// Queues one line; returns 1 for a queued phoneme, 0 for nothing, or an
// error.
int takeLine(std::string_view text) {
  PhoneLine line = parsePhoneLine(text);
  switch (line.kind) {
    case LineKind::Blank: return 0;
    case LineKind::Flush: closeUtterance(state.queue); return 0;
    case LineKind::Bad: state.lastError = line.why; return kSynthErrSyntax;
    case LineKind::Phone: break;
  }
  int result = 1;
  int def = findPhone(state.voice, line.name);
  if (def < 0) {
    def = state.voice.silence;
    if (state.noErrorCode == 0) {
      state.lastError = "unknown phoneme '" + line.name + "'";
      result = kSynthErrUnknownPhoneme;
    }
  }
  if (!queuePhone(state.queue, def, lineSamples(line.ms), std::move(line.points))) {
    state.lastError = "too many phonemes waiting to be read";
    return kSynthErrFull;
  }
  return result;
}

}  // namespace

int synthInit(const std::string& databasePath) {
  synthClose();
  std::string error;
  if (!loadVoice(voiceFilePath(databasePath), state.voice, error)) {
    state.lastError = error;
    return kSynthErrDatabase;
  }
  state.ready = true;
  return 0;
}

void synthReset() {
  state.input = LineBuffer{};
  state.queue = PhoneQueue{};
  state.renderer = Renderer{};
}

void synthSetNoError(int code) { state.noErrorCode = code; }

int synthWrite(std::string_view phonemeLines) {
  if (!state.ready) {
    state.lastError = "no voice loaded";
    return kSynthErrNotReady;
  }
  state.lastError.clear();
  int overlong = 0;
  int queued = 0, error = 0;
  for (const std::string& line : takeLines(state.input, phonemeLines, overlong)) {
    int r = takeLine(line);
    if (r > 0) queued += r;
    if (r < 0 && error == 0) error = r;
  }
  if (overlong > 0 && error == 0) {
    state.lastError = "phoneme line longer than " + std::to_string(kMaxLineBytes) + " bytes";
    error = kSynthErrFull;
  }
  return error < 0 ? error : queued;
}

void synthFlush() {
  if (!state.ready) return;
  std::string rest = takeRest(state.input);
  if (!rest.empty()) takeLine(rest);
  closeUtterance(state.queue);
}

int synthRead(int16_t* samples, int maxSamples) {
  if (!state.ready || !samples || maxSamples <= 0) return 0;
  return renderSamples(state.renderer, state.queue, state.voice, samples, maxSamples);
}

void synthClose() { state = SynthState{}; }

const std::string& synthLastError() { return state.lastError; }

}  // namespace varlo
