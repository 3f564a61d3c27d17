// Phoneme lines: "name duration_ms [position_percent pitch_hz]...".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlo {

constexpr double kMaxPhoneMs = 30000;
constexpr float kMinPitchHz = 40, kMaxPitchHz = 1000;
constexpr size_t kMaxPitchPoints = 32;
constexpr size_t kMaxLineBytes = 4096;

struct PitchPoint {
  float percent;  // 0..100 of the phoneme's duration
  float hz;
};

enum class LineKind { Blank, Flush, Phone, Bad };

struct PhoneLine {
  LineKind kind = LineKind::Blank;
  std::string name;
  double ms = 0;
  std::vector<PitchPoint> points;  // sorted by position
  std::string why;                 // for Bad lines
};

// Reads one line (without its end). Blank covers comments; values out of
// range are clamped (see synth.h), text that is not a number makes it Bad.
PhoneLine parsePhoneLine(std::string_view line);

// Collects written text into whole lines.
struct LineBuffer {
  std::string partial;
  bool overlong = false;  // dropping the rest of a line that grew too long
};

// Appends text and returns the lines it completes ("\r\n" or "\n").
// A line longer than kMaxLineBytes is dropped whole; overlong counts them.
std::vector<std::string> takeLines(LineBuffer& buffer, std::string_view text, int& overlong);

// The unfinished last line, emptied from the buffer.
std::string takeRest(LineBuffer& buffer);

}  // namespace varlo
