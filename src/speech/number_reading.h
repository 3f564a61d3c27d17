// Numbers, the clock and the date read aloud by the recorded voice: numbers
// become Brazilian Portuguese number words whose recordings are joined into
// one sound.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varlo {

// The words of a non-negative integer, e.g. 2500 -> "dois mil e quinhentos".
std::string numberWords(uint32_t n);

// Recording names ("_" + word, cut to 8 characters) of the words of a text;
// with feminine set a final "um"/"dois" becomes "_uma"/"_duas".
std::vector<std::string> wordRecordingNames(std::string_view words, bool feminine);

// The words with a final "um"/"dois" made feminine ("uma"/"duas").
std::string feminineWords(std::string_view words);

// Play the recordings of the words of a text joined into one sound.
void playWords(std::string_view words, bool feminine);
// Play recordings of the letters directory (names without ".wav") joined.
// When one is missing and an engine is open, the engine says `text` instead.
void playRecordingNames(const std::vector<std::string>& names, std::string_view text);

void sayTime();                       // the current hour and minute
void sayDate();                       // the current weekday, day, month, year
void sayHourMinute(int hour, int minute);
void sayDayMonthYear(int day, int month, int year);

// Recording names said for a clock time and a date (what the two above play),
// and the same sentences as text.
std::vector<std::string> hourMinuteRecordings(int hour, int minute);
std::vector<std::string> dateRecordings(int day, int month, int year);
std::string hourMinuteText(int hour, int minute);
std::string dateText(int day, int month, int year);

}  // namespace varlo
