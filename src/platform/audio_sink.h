// The sound layer: where PCM buffers go to be heard.
//
// VARLO_AUDIO chooses the sink:
//   alsa          (default) the ALSA PCM; when none opens, null is used
//                 silently, and a device lost while playing also turns into
//                 null, so nothing ever waits on a dead device;
//   null          no device: every buffer is finished at once;
//   capture:FILE  every buffer handed over is appended to FILE with its
//                 format and a timestamp, and is finished when the wall clock
//                 reaches its end, as a real device would (see below).
//
// Buffers are handed over by address and played in order; their memory must
// stay untouched until the buffer is reported finished. Finished buffers are
// reported only by audioPoll, which the wave player calls from pumpMessages,
// so completions reach the program on its own thread and nowhere else.
//
// Capture file format. Records are appended one after the other; each is one
// text line, and a PLAY line is followed by its raw sample bytes and "\n":
//   OPEN <time> <rate> <bits> <channels>
//   PLAY <time> <rate> <bits> <channels> <bytes>
//   STOP <time> <unplayed bytes>
//   CLOSE <time>
// <time> is in microseconds on the monotonic clock. PLAY is written when the
// buffer is handed to the device; the sink plays it after the buffers before
// it, at the format's pace. STOP is a reset while sound was queued: the last
// <unplayed bytes> of the audio handed over since the previous STOP were
// never heard.
// audio_capture_reader.h reads such a file back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace varlo {

struct AudioFormat {
  int rate = 0;
  int bits = 0;
  int channels = 0;
  int bytesPerFrame() const { return bits / 8 * channels; }
  bool operator==(const AudioFormat&) const = default;
};

enum class AudioSinkKind { alsa, null, capture };

// The sink in use (after any fallback to null).
AudioSinkKind audioSinkKind();

// Opens the output in a format on a device (-1: the default device, else an
// index into listAudioDevices()). 0 on success, else a non-zero error code
// (only for a format the layer cannot play). Closes any open output first.
int audioOpen(const AudioFormat& format, int device);
bool audioIsOpen();
void audioClose();
// Hands a buffer to the device; tag comes back through audioPoll.
void audioWrite(const uint8_t* data, size_t bytes, int tag);
// Drops everything queued at once; the dropped buffers are finished on the
// next audioPoll.
void audioReset();
// Reports every buffer finished since the last call, in order.
void audioPoll(void (*finished)(int tag));

// ALSA PCM names usable as output (empty without ALSA).
std::vector<std::string> listAudioDevices();

// Forget the chosen sink so that the next audioOpen reads VARLO_AUDIO again
// (tests switch sinks within one process).
void resetAudioSink();

}  // namespace varlo
