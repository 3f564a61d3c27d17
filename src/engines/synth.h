// Olira's phoneme synthesizer: turns phoneme lines into 16 kHz 16-bit mono
// samples with a formant synthesizer driven by the voice data file.
//
// Phoneme lines, one per line ("\n" or "\r\n"):
//   name duration_ms [position_percent pitch_hz]...
// A line starting with ";" is a comment (";" anywhere starts one), a line
// "#" flushes. Durations may be decimal; each line lasts round(ms * 16)
// samples exactly. Pitch is interpolated linearly between the points of one
// utterance (across phonemes), held before the first and after the last;
// an utterance without points uses the voice's default pitch.
//
// Limits (clamped, not errors): duration 0 .. 30000 ms (negative gives 0),
// pitch 40 .. 1000 Hz (a pitch of 0 or less drops that point), position
// 0 .. 100 %, at most 32 points per line. Lines over 4096 bytes and
// phonemes queued beyond 65536 unread lines are rejected with an error.
// Samples are made only inside synthRead, so memory stays bounded whatever
// durations are asked for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varlo {

constexpr int kSynthSampleRate = 16000;

// Error results (negative) of synthInit and synthWrite.
constexpr int kSynthErrNotReady = -1;        // no voice loaded
constexpr int kSynthErrDatabase = -2;        // voice file missing or faulty
constexpr int kSynthErrUnknownPhoneme = -3;  // only with no-error code 0
constexpr int kSynthErrSyntax = -4;          // a line that does not parse
constexpr int kSynthErrFull = -5;            // line too long or queue full

// The no-error code used by the Olira front end while speaking.
constexpr int kSynthNoErrorSilence = -63;

// Loads the voice. databasePath is the voice file (data/olira/br4) or the
// directory holding it. Returns 0, or kSynthErrDatabase (see
// synthLastError for the reason). Any earlier voice and queue are dropped.
int synthInit(const std::string& databasePath);

// Drops queued phonemes and unread samples; keeps the voice and settings.
void synthReset();

// 0: an unknown phoneme makes synthWrite report kSynthErrUnknownPhoneme.
// Any other code (the front end uses kSynthNoErrorSilence): unknown
// phonemes are spoken as silence without error. Either way an unknown
// phoneme keeps its duration, so timing is never lost.
void synthSetNoError(int code);

// Queues phoneme lines; a trailing partial line waits for its end or for
// synthFlush. Returns the number of phoneme lines queued, or the first
// error met (the other lines of the text are still taken).
int synthWrite(std::string_view phonemeLines);

// Ends the utterance: everything queued becomes readable.
void synthFlush();

// Copies up to maxSamples ready samples; 0 when nothing more is ready.
int synthRead(int16_t* samples, int maxSamples);

// Releases the voice; synthWrite fails until the next synthInit.
void synthClose();

// Why the last synthInit or synthWrite failed (empty after success).
const std::string& synthLastError();

}  // namespace varlo
