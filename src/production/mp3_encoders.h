// MP3 encoders running beside the rendering, up to one per core: each takes
// a rendered WAV file, or one the voice is still recording as it grows, and
// writes under a scratch name that takes the final MP3 name only once the
// encoder ended well. Results are told in the order the texts were handed
// over, whatever order the encoders end in.
#pragma once

#include <string>

#include "production/conversion_mp3.h"
#include "production/conversion_text.h"

namespace varlo {

// One text's encoding.
struct Mp3Job {
  std::string mp3Options;
  Mp3Tags tags;
  AudioNames names;
};

// Encoders that may run at once: [VARLO] CODIFICADORESMP3 when above 0,
// else one per core.
int encoderLimit();
// Seconds an encoder may run once its WAV is whole, before it is taken for
// hung and stopped, besides the time its WAV's size allows for.
void setEncoderGraceSeconds(int seconds);

// Wait (pumping) until fewer than encoderLimit() encoders run: true then,
// false as soon as a key is pressed.
bool waitForFreeEncoder();
// Encode the whole WAV file job.names.wavName; false when no encoder
// could be started.
bool startEncoding(const Mp3Job& job);
// Encode job.names.wavName while the voice records it (the file must not
// exist yet); false when no encoder could be started.
bool startEncodingWhileRecording(const Mp3Job& job);
// The recording of the last such job ended: whole, and the encoder takes
// the rest, or not, and the encoder is stopped with nothing kept or told.
void recordingEnded(bool whole);

// Say what became of the texts whose encoders ended, in the order the texts
// came, up to the first one still running (or, waitForAll, of every one).
// Returns how many of them did not become an MP3; their WAV files stay.
int tellEncoderResults(bool waitForAll);
// Stop every encoder: no MP3 is left but the finished ones, the WAV files
// stay. Also done when the program ends.
void stopEncoders();

}  // namespace varlo
