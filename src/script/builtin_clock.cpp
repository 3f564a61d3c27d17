// Built-in functions of the clock and chance: DATA, DIA, HORA, TEMPO and
// RAND (RANDOMIZA seeds the same generator).
#include <cstdio>
#include <cstdlib>

#include "console/console.h"
#include "script/host.h"
#include "script/interp.h"

namespace varlo {

namespace {

constexpr int64_t kHundredthsPerDay = 24 * 360000;

std::string twoDigits(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", n);
  return text;
}

}  // namespace

bool fnDate(const SymtbEntry&) {
  Date d = currentDate();
  setResult(stringValue(twoDigits(d.day) + "/" + twoDigits(d.month) + "/" + twoDigits(d.year)));
  return true;
}

bool fnWeekday(const SymtbEntry&) {
  static const char* const kNames[] = {"Domingo", "Segunda", "Terça", "Quarta", "Quinta", "Sexta", "Sábado"};
  Date d = currentDate();
  setResult(stringValue(cp(kNames[(d.weekday % 7 + 7) % 7])));
  return true;
}

bool fnTime(const SymtbEntry&) {
  Time t = currentTime();
  setResult(stringValue(twoDigits(t.hour) + ":" + twoDigits(t.minute) + ":" + twoDigits(t.second)));
  return true;
}

// Hundredths since the interpreter was reset; the weekday difference wraps
// so that a run across midnight (or a week end) keeps counting.
bool fnElapsed(const SymtbEntry&) {
  Date d = currentDate();
  Time t = currentTime();
  int64_t then = tempoReference();
  int64_t days = ((d.weekday - then / kHundredthsPerDay) % 7 + 7) % 7;
  int64_t now = (int64_t(t.hour) * 360000) + t.minute * 6000 + t.second * 100 + t.hundredths;
  setResult(stringValue(std::to_string(days * kHundredthsPerDay + now - then % kHundredthsPerDay)));
  return true;
}

bool fnRandom(const SymtbEntry&) {
  const Operand& n = argument(1);
  if (n.tag != Tag::integer) return false;
  int64_t range = std::llabs(int64_t(n.first));
  setResult(integerValue(range == 0 ? 0 : int32_t(int64_t(std::rand()) % range)));
  return true;
}

}  // namespace varlo
