#include "support/model_calendar.h"

namespace tarvo {

namespace {

constexpr std::int64_t DaysFrom1601To1970 = 134774;
constexpr unsigned Thursday = 4;  // 1970-01-01

struct CivilDate {
  std::int64_t year;
  unsigned month;
  unsigned day;
};

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's method).
CivilDate CivilFromDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
  const unsigned day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  const unsigned month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  return {year, month, day};
}

}  // namespace

SystemTime SystemTimeFromFileTime(std::uint64_t fileTime) {
  const auto seconds = static_cast<std::int64_t>(fileTime / TicksPerSecond);
  const std::int64_t days = seconds / 86400 - DaysFrom1601To1970;
  const CivilDate date = CivilFromDays(days);
  const auto secondOfDay = static_cast<unsigned>(seconds % 86400);
  SystemTime time;
  time.year = static_cast<std::uint16_t>(date.year);
  time.month = static_cast<std::uint16_t>(date.month);
  time.dayOfWeek = static_cast<std::uint16_t>(((days % 7) + 7 + Thursday) % 7);
  time.day = static_cast<std::uint16_t>(date.day);
  time.hour = static_cast<std::uint16_t>(secondOfDay / 3600);
  time.minute = static_cast<std::uint16_t>(secondOfDay / 60 % 60);
  time.second = static_cast<std::uint16_t>(secondOfDay % 60);
  time.milliseconds = static_cast<std::uint16_t>(fileTime % TicksPerSecond / 10'000);
  return time;
}

}  // namespace tarvo
