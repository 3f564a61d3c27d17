// The MIDI output of scripts: one device, number 0, a FluidSynth synthesizer
// with the General MIDI sound font, heard through the wave player's stream
// (so it plays on the program's own sound device).
#pragma once

namespace varlo {

// False when the device number is not 0 or the synthesizer or its sound font
// cannot be loaded. Opening an open device keeps it.
bool midiOpen(int device);
void midiClose();
bool midiIsOpen();

// Channels 0-15, notes and values 0-127 (MIDI numbering).
void midiProgram(int channel, int program);   // 128-255: the percussion bank
void midiNoteOn(int channel, int note);
void midiNoteOff(int channel, int note);
// 0-127: the channel's volume controller; above that the device volume of
// a 16-bit level (65535 is full).
void midiVolume(int channel, int volume);
// Sounds a note for a time: returns once the note's end has been rendered,
// so notes played one after the other follow without gaps. A key press ends
// the note early (the key stays queued).
void midiPlayNote(int channel, int note, int milliseconds);

constexpr int kMidiRate = 44100;

}  // namespace varlo
