// Sounds that are made, not spoken: the telephone key tones (the standard
// pairs of frequencies) and the program's short earcons.
#include <cmath>
#include <initializer_list>

#include "voice_data/voice_data.h"

namespace varlo::voicedata {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Note {
  double hz;
  int ms;
};

// Tones summed, with soft edges, decaying when `ring` is set.
Samples tone(std::initializer_list<double> frequencies, int ms, double level, bool ring) {
  const size_t n = size_t(kRate * ms / 1000);
  const size_t edge = kRate / 200;   // 5 ms
  Samples out(n);
  for (size_t i = 0; i < n; ++i) {
    double v = 0;
    for (double hz : frequencies) v += std::sin(2 * kPi * hz * double(i) / kRate);
    double gain = level / double(frequencies.size());
    if (ring) gain *= std::exp(-3.0 * double(i) / double(n));
    size_t near = std::min(i, n - 1 - i);
    if (near < edge) gain *= double(near) / double(edge);
    out[i] = uint8_t(std::lround(128 + v * gain));
  }
  return out;
}

Samples melody(std::initializer_list<Note> notes) {
  Samples out;
  for (const Note& note : notes) {
    Samples part = tone({note.hz, note.hz * 2}, note.ms, 90, true);
    out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

}  // namespace

std::vector<Generated> telephoneTones() {
  static const double rows[] = {697, 770, 852, 941};
  static const double columns[] = {1209, 1336, 1477};
  static const char keys[4][3] = {{'1', '2', '3'}, {'4', '5', '6'}, {'7', '8', '9'}, {'X', '0', '#'}};
  std::vector<Generated> out;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c)
      out.push_back({std::string("dtmf_") + keys[r][c], tone({rows[r], columns[c]}, 200, 100, false)});
  return out;
}

std::vector<Generated> earcons() {
  return {{"VLMENU", melody({{523.3, 90}, {784.0, 140}})},
          {"VLSAI", melody({{784.0, 120}, {659.3, 120}, {523.3, 220}})},
          {"VLEFEITO", melody({{1046.5, 110}})}};
}

}  // namespace varlo::voicedata
