// FluidSynth rendered into the wave player's stream. Note ends scheduled by
// midiPlayNote fall on their exact frame of the rendered sound.
#include "sound/midi_synth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <vector>

#include "console/console.h"
#include "platform/shared_library.h"
#include "sound/wave_player.h"

namespace varlo {

namespace {

constexpr const char* kSoundFonts[] = {
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
};
constexpr int kVelocity = 100;
constexpr double kFullGain = 0.4;

struct NoteEnd {
  uint64_t frame;
  int channel;
  int note;
};

struct Synth {
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  uint64_t rendered = 0;           // frames rendered since the device opened
  std::vector<NoteEnd> noteEnds;   // kept in frame order
  bool closing = false;            // nothing more is rendered
};

Synth midi;

// FluidSynth and all it depends on are loaded at the first MIDI use.
struct FluidFunctions {
  decltype(&fluid_set_log_function) setLogFunction;
  decltype(&new_fluid_settings) newSettings;
  decltype(&delete_fluid_settings) deleteSettings;
  decltype(&fluid_settings_setnum) setNumber;
  decltype(&new_fluid_synth) newSynth;
  decltype(&delete_fluid_synth) deleteSynth;
  decltype(&fluid_is_soundfont) isSoundFont;
  decltype(&fluid_synth_sfload) loadSoundFont;
  decltype(&fluid_synth_noteon) noteOn;
  decltype(&fluid_synth_noteoff) noteOff;
  decltype(&fluid_synth_get_active_voice_count) activeVoices;
  decltype(&fluid_synth_write_s16) write;
  decltype(&fluid_synth_bank_select) bankSelect;
  decltype(&fluid_synth_program_change) programChange;
  decltype(&fluid_synth_cc) controlChange;
  decltype(&fluid_synth_set_gain) setGain;
};
FluidFunctions fluid;

template <typename Function>
bool found(void* library, const char* name, Function& out) {
  out = reinterpret_cast<Function>(librarySymbol(library, name));
  return out != nullptr;
}

bool fluidLoaded() {
  static const bool loaded = [] {
    void* l = sharedLibrary(VARLO_FLUIDSYNTH_LIBRARY);
    return found(l, "fluid_set_log_function", fluid.setLogFunction) && found(l, "new_fluid_settings", fluid.newSettings) &&
           found(l, "delete_fluid_settings", fluid.deleteSettings) &&
           found(l, "fluid_settings_setnum", fluid.setNumber) && found(l, "new_fluid_synth", fluid.newSynth) &&
           found(l, "delete_fluid_synth", fluid.deleteSynth) && found(l, "fluid_is_soundfont", fluid.isSoundFont) &&
           found(l, "fluid_synth_sfload", fluid.loadSoundFont) && found(l, "fluid_synth_noteon", fluid.noteOn) &&
           found(l, "fluid_synth_noteoff", fluid.noteOff) &&
           found(l, "fluid_synth_get_active_voice_count", fluid.activeVoices) &&
           found(l, "fluid_synth_write_s16", fluid.write) && found(l, "fluid_synth_bank_select", fluid.bankSelect) &&
           found(l, "fluid_synth_program_change", fluid.programChange) &&
           found(l, "fluid_synth_cc", fluid.controlChange) && found(l, "fluid_synth_set_gain", fluid.setGain);
  }();
  return loaded;
}

void quiet(int, const char*, void*) {}

void silenceLibraryLog() {
  for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
    fluid.setLogFunction(level, quiet, nullptr);
}

bool loadSoundFont() {
  for (const char* path : kSoundFonts)
    if (fluid.isSoundFont(path) && fluid.loadSoundFont(midi.synth, path, 1) != FLUID_FAILED)
      return true;
  return false;
}

void applyNoteEndsUpTo(uint64_t frame) {
  auto due = std::find_if(midi.noteEnds.begin(), midi.noteEnds.end(),
                          [frame](const NoteEnd& end) { return end.frame > frame; });
  for (auto it = midi.noteEnds.begin(); it != due; ++it)
    fluid.noteOff(midi.synth, it->channel, it->note);
  midi.noteEnds.erase(midi.noteEnds.begin(), due);
}

// Renders stereo 16-bit frames, stopping at every scheduled note end; 0 once
// nothing sounds and nothing is pending, which ends the stream.
size_t readSynth(void*, uint8_t* buffer, size_t capacity) {
  if (!midi.synth || midi.closing) return 0;
  if (midi.noteEnds.empty() && fluid.activeVoices(midi.synth) == 0) return 0;
  size_t frames = capacity / 4;
  size_t done = 0;
  while (done < frames) {
    applyNoteEndsUpTo(midi.rendered);
    size_t piece = frames - done;
    if (!midi.noteEnds.empty())
      piece = size_t(std::min<uint64_t>(piece, midi.noteEnds.front().frame - midi.rendered));
    auto* samples = reinterpret_cast<int16_t*>(buffer) + done * 2;
    fluid.write(midi.synth, int(piece), samples, 0, 2, samples, 1, 2);
    done += piece;
    midi.rendered += piece;
  }
  return done * 4;
}

void ensureStream() {
  WaveStream stream;
  stream.rate = kMidiRate;
  stream.bits = 16;
  stream.channels = 2;
  stream.owner = &midi;
  stream.read = readSynth;
  startStream(stream);
}

void scheduleNoteEnd(const NoteEnd& end) {
  auto at = std::upper_bound(midi.noteEnds.begin(), midi.noteEnds.end(), end.frame,
                             [](uint64_t frame, const NoteEnd& e) { return frame < e.frame; });
  midi.noteEnds.insert(at, end);
}

}  // namespace

bool midiOpen(int device) {
  if (device != 0) return false;
  if (midi.synth) return true;
  if (!fluidLoaded()) return false;
  silenceLibraryLog();
  midi.settings = fluid.newSettings();
  if (!midi.settings) return false;
  fluid.setNumber(midi.settings, "synth.sample-rate", kMidiRate);
  fluid.setNumber(midi.settings, "synth.gain", kFullGain);
  midi.synth = fluid.newSynth(midi.settings);
  if (!midi.synth || !loadSoundFont()) {
    midiClose();
    return false;
  }
  midi.rendered = 0;
  return true;
}

void midiClose() {
  // What was already rendered is heard out (a key cuts it short), as notes
  // sent before a close would be.
  midi.closing = true;
  while (streamRunning(&midi) && !keyPending()) pause(5);
  stopStream(&midi);
  midi.noteEnds.clear();
  if (midi.synth) fluid.deleteSynth(midi.synth);
  if (midi.settings) fluid.deleteSettings(midi.settings);
  midi = Synth{};
}

bool midiIsOpen() { return midi.synth != nullptr; }

void midiProgram(int channel, int program) {
  if (!midi.synth) return;
  int bank = program >= 128 ? 128 : 0;
  fluid.bankSelect(midi.synth, channel, bank);
  fluid.programChange(midi.synth, channel, program % 128);
}

void midiNoteOn(int channel, int note) {
  if (!midi.synth) return;
  fluid.noteOn(midi.synth, channel, note, kVelocity);
  ensureStream();
}

void midiNoteOff(int channel, int note) {
  if (midi.synth) fluid.noteOff(midi.synth, channel, note);
}

void midiVolume(int channel, int volume) {
  if (!midi.synth) return;
  if (volume <= 127) {
    fluid.controlChange(midi.synth, channel, 7, std::max(0, volume));
    return;
  }
  double level = double(std::min(volume, 65535)) / 65535.0;
  fluid.setGain(midi.synth, float(kFullGain * level));
}

void midiPlayNote(int channel, int note, int milliseconds) {
  if (!midi.synth) return;
  uint64_t end = midi.rendered + uint64_t(std::max(0, milliseconds)) * kMidiRate / 1000;
  fluid.noteOn(midi.synth, channel, note, kVelocity);
  scheduleNoteEnd({end, channel, note});
  ensureStream();
  while (midi.rendered < end && streamRunning(&midi)) {
    if (keyPending()) break;
    pumpMessages();
    if (midi.rendered < end) pause(5);
  }
  // Cut short (a key, a lost device): the note ends now.
  auto pending = std::find_if(midi.noteEnds.begin(), midi.noteEnds.end(), [&](const NoteEnd& e) {
    return e.frame == end && e.channel == channel && e.note == note;
  });
  if (pending != midi.noteEnds.end()) {
    midi.noteEnds.erase(pending);
    fluid.noteOff(midi.synth, channel, note);
  }
}

}  // namespace varlo
