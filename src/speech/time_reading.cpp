// The spoken clock and date, made of joined word recordings.
#include <string>

#include "console/console.h"
#include "speech/number_reading.h"

namespace varlo {
namespace {

const char* const kWeekdays[] = {"Domingo", "Segunda", "Terca", "Quarta",
                                 "Quinta", "Sexta", "Sabado"};
const char* const kMonths[] = {"Janeiro", "Fevereiro", "Marco", "Abril", "Maio", "Junho",
                               "Julho", "Agosto", "Setembro", "Outubro", "Novembro",
                               "Dezembro"};
// The same names written in full, Windows-1252, for an engine.
const char* const kWeekdayText[] = {"domingo", "segunda-feira", "ter\xE7" "a-feira",
                                    "quarta-feira", "quinta-feira", "sexta-feira",
                                    "s\xE1" "bado"};
const char* const kMonthText[] = {"janeiro", "fevereiro", "mar\xE7o", "abril", "maio",
                                  "junho", "julho", "agosto", "setembro", "outubro",
                                  "novembro", "dezembro"};

bool validDate(int day, int month, int year) {
  return month >= 1 && month <= 12 && day >= 1 && day <= 31 && year >= 1;
}

void append(std::vector<std::string>& names, const std::vector<std::string>& more) {
  names.insert(names.end(), more.begin(), more.end());
}

std::vector<std::string> wordsOf(int n, bool feminine) {
  return wordRecordingNames(numberWords(uint32_t(n)), feminine);
}

// 0 = Sunday, for any date of the Gregorian calendar.
int weekdayOf(int day, int month, int year) {
  static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) year -= 1;
  return (year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + day) % 7;
}

}  // namespace

std::vector<std::string> hourMinuteRecordings(int hour, int minute) {
  std::vector<std::string> names = wordsOf(hour, true);
  names.push_back(hour < 2 ? "_hora" : "_horas");
  if (minute != 0) {
    append(names, wordsOf(minute, false));
    names.push_back(minute < 2 ? "_minuto" : "_minutos");
  }
  return names;
}

// Years are said whole ("dois mil e vinte e seis", "mil novecentos e
// noventa e nove").
std::vector<std::string> dateRecordings(int day, int month, int year) {
  if (!validDate(day, month, year)) return {};
  std::vector<std::string> names;
  names.push_back(std::string("_") + kWeekdays[weekdayOf(day, month, year)]);
  if (day == 1) {
    names.push_back("_primeir");
  } else {
    append(names, wordsOf(day, false));
  }
  names.push_back("_de");
  names.push_back(("_" + std::string(kMonths[month - 1])).substr(0, 8));
  names.push_back("_de");
  append(names, wordsOf(year, false));
  return names;
}

std::string hourMinuteText(int hour, int minute) {
  std::string text = feminineWords(numberWords(uint32_t(hour)));
  text += hour < 2 ? " hora" : " horas";
  if (minute != 0) {
    text += " e " + std::string(numberWords(uint32_t(minute)));
    text += minute < 2 ? " minuto" : " minutos";
  }
  return text;
}

std::string dateText(int day, int month, int year) {
  if (!validDate(day, month, year)) return "";
  std::string text = kWeekdayText[weekdayOf(day, month, year)];
  text += ", " + (day == 1 ? std::string("primeiro") : numberWords(uint32_t(day)));
  text += std::string(" de ") + kMonthText[month - 1] + " de " + numberWords(uint32_t(year));
  return text;
}

void sayHourMinute(int hour, int minute) {
  playRecordingNames(hourMinuteRecordings(hour, minute), hourMinuteText(hour, minute));
}

void sayDayMonthYear(int day, int month, int year) {
  playRecordingNames(dateRecordings(day, month, year), dateText(day, month, year));
}

void sayTime() {
  Time now = currentTime();
  sayHourMinute(now.hour, now.minute);
}

void sayDate() {
  Date today = currentDate();
  sayDayMonthYear(today.day, today.month, today.year);
}

}  // namespace varlo
