// The local clock and the locale's date and time formats.
#include <vector>

#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_headers.h"

namespace tarvo {

namespace {

using FormatCall = int(WINAPI*)(LCID, DWORD, const SYSTEMTIME*, LPCSTR, LPSTR, int);

SYSTEMTIME ToWin32(const SystemTime& time) {
  SYSTEMTIME converted;
  converted.wYear = time.year;
  converted.wMonth = time.month;
  converted.wDayOfWeek = time.dayOfWeek;
  converted.wDay = time.day;
  converted.wHour = time.hour;
  converted.wMinute = time.minute;
  converted.wSecond = time.second;
  converted.wMilliseconds = time.milliseconds;
  return converted;
}

// Asks for the size first: no fixed buffer can hold every locale's format.
bool Format(FormatCall call, std::uint32_t locale, std::uint32_t flags, const SystemTime& time,
            std::string& text) {
  const SYSTEMTIME win32Time = ToWin32(time);
  const int size = call(locale, flags, &win32Time, nullptr, nullptr, 0);
  if (size <= 0) return false;
  std::vector<char> buffer(size);
  const int length = call(locale, flags, &win32Time, nullptr, buffer.data(), size);
  if (length <= 0) return false;
  text.assign(buffer.data(), length - 1);
  return true;
}

}  // namespace

void Win32Backend::GetLocalTime(SystemTime& time) {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  time.year = now.wYear;
  time.month = now.wMonth;
  time.dayOfWeek = now.wDayOfWeek;
  time.day = now.wDay;
  time.hour = now.wHour;
  time.minute = now.wMinute;
  time.second = now.wSecond;
  time.milliseconds = now.wMilliseconds;
}

bool Win32Backend::GetDateFormat(std::uint32_t locale, std::uint32_t flags, const SystemTime& time,
                                 std::string& text) {
  return Format(GetDateFormatA, locale, flags, time, text);
}

bool Win32Backend::GetTimeFormat(std::uint32_t locale, std::uint32_t flags, const SystemTime& time,
                                 std::string& text) {
  return Format(GetTimeFormatA, locale, flags, time, text);
}

}  // namespace tarvo
