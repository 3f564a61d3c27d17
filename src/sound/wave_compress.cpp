// Faster recorded speech without a change of pitch: every other stretch
// between two signal peaks is dropped, leaving voiced speech about half as
// long.
#include <cstddef>
#include <cstdint>

#include "sound/wave_player.h"

namespace varlo {

namespace {

struct Spacing {
  size_t start, gap, window;
};

Spacing spacingFor(int rate) {
  if (rate == 11025) return {200, 80, 50};
  return {800, 320, 200};
}

// Position of the first greatest value in [a, b]. When nothing in the range
// rises above 0 the range start is taken, so the walk always moves forward.
size_t peakIn(const uint8_t* s, size_t a, size_t b) {
  size_t best = a;
  uint8_t highest = 0;
  for (size_t i = a; i <= b; ++i) {
    if (s[i] > highest) {
      highest = s[i];
      best = i;
    }
  }
  return best;
}

// 16-bit samples become unsigned 8-bit: the high byte, sign bit flipped.
size_t toEightBit(uint8_t* piece, size_t bytes) {
  size_t count = bytes / 2;
  for (size_t i = 0; i < count; ++i) piece[i] = uint8_t(piece[2 * i + 1] ^ 0x80);
  return count;
}

}  // namespace

size_t compressSpeech(uint8_t* piece, size_t bytes, int bits, int rate) {
  size_t count = bits == 16 ? toEightBit(piece, bytes) : bytes;
  if (count < 1000) return count;
  Spacing k = spacingFor(rate);
  size_t step = k.gap + k.window;
  size_t first = k.start + step < count ? k.start + step : count - 1;
  size_t source = peakIn(piece, k.start, first);
  size_t output = source;
  while (count > 2 * step && count - 2 * step > source) {
    size_t p1 = peakIn(piece, source + k.gap, source + step);
    size_t p2 = peakIn(piece, p1 + k.gap, p1 + step);
    for (size_t i = p1; i <= p2; ++i) piece[output++] = piece[i];
    source = p2;
  }
  // Carry on to the next crossing near the middle line, so the cut piece
  // does not end with a jump.
  while (source < count && (piece[output] > 148 || piece[output] < 108))
    piece[output++] = piece[source++];
  return output;
}

}  // namespace varlo
