// The model's clock and the date and time formats of two locales.
#include <stdexcept>

#include "support/model_calendar.h"
#include "support/windows_model.h"

namespace tarvo {

namespace {

constexpr std::uint32_t Dutch = 0x0413;
constexpr std::uint32_t UsEnglish = 0x0409;

// LocaleUserDefault stands for the user's locale.
std::optional<std::uint32_t> KnownLocale(std::uint32_t locale, std::uint32_t userLocale) {
  if (locale == LocaleUserDefault) locale = userLocale;
  if (locale == Dutch || locale == UsEnglish) return locale;
  return std::nullopt;
}

std::string TwoDigits(unsigned value) {
  return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
         static_cast<char>('0' + value % 10);
}

}  // namespace

void WindowsModel::GetLocalTime(SystemTime& time) { time = SystemTimeFromFileTime(clock_); }

// Dutch "d-M-yyyy", US English "M/d/yyyy".
bool WindowsModel::GetDateFormat(std::uint32_t locale, std::uint32_t flags, const SystemTime& time,
                                 std::string& text) {
  if (flags != DateShortDate) throw std::logic_error("model: only the short date is modelled");
  const auto known = KnownLocale(locale, userLocale_);
  if (!known || time.month < 1 || time.month > 12 || time.day < 1 || time.day > 31) return false;
  const std::string day = std::to_string(time.day);
  const std::string month = std::to_string(time.month);
  const std::string year = TwoDigits(time.year / 100) + TwoDigits(time.year % 100);
  text = *known == Dutch ? day + "-" + month + "-" + year : month + "/" + day + "/" + year;
  return true;
}

// Dutch "HH:mm:ss", US English "h:mm:ss tt".
bool WindowsModel::GetTimeFormat(std::uint32_t locale, std::uint32_t flags, const SystemTime& time,
                                 std::string& text) {
  if (flags != TimeLongFormat) throw std::logic_error("model: only the long time is modelled");
  const auto known = KnownLocale(locale, userLocale_);
  if (!known || time.hour > 23 || time.minute > 59 || time.second > 59) return false;
  const std::string minutesAndSeconds = ":" + TwoDigits(time.minute) + ":" + TwoDigits(time.second);
  if (*known == Dutch) {
    text = TwoDigits(time.hour) + minutesAndSeconds;
  } else {
    const unsigned hour = time.hour % 12 == 0 ? 12 : time.hour % 12;
    text = std::to_string(hour) + minutesAndSeconds + (time.hour < 12 ? " AM" : " PM");
  }
  return true;
}

}  // namespace tarvo
