// The calls of the start page and the file-error diagnosis: temp path,
// clock, file attributes, drives, and the locale's date and time formats.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "contract/seam_contract.h"
#include "platform/ascii_case.h"

namespace tarvo {
namespace {

constexpr std::uint32_t Dutch = 0x0413;
constexpr std::uint32_t UsEnglish = 0x0409;

// Days since 1601-01-01, the FILETIME epoch (H. Hinnant's method).
std::int64_t DaysSince1601(int year, unsigned month, unsigned day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468 + 134774;
}

SystemTime At(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::uint16_t hour,
              std::uint16_t minute, std::uint16_t second) {
  SystemTime time;
  time.year = year;
  time.month = month;
  time.day = day;
  time.hour = hour;
  time.minute = minute;
  time.second = second;
  return time;
}

TEST_F(SeamContract, GetTempPathGivesTmpWithAFinalBackslash) {
  const std::string lowerCase = AsciiLowerCase(folder);
  struct Case {
    std::string tmp;
    std::string path;
  };
  const Case cases[] = {
      {folder, folder + "\\"},
      {folder + "\\", folder + "\\"},
      {lowerCase + "\\absent", lowerCase + "\\absent\\"},
  };
  for (const Case& c : cases) {
    world->SetTempVariable(c.tmp);
    std::string path = Untouched;
    EXPECT_EQ(windows().GetTempPath(path), c.path.size()) << c.tmp;
    EXPECT_EQ(path, c.path) << c.tmp;
  }
}

TEST_F(SeamContract, GetLocalTimeReadsTheLocalClock) {
  SystemTime now;
  windows().GetLocalTime(now);
  const std::int64_t days = DaysSince1601(now.year, now.month, now.day);
  const std::int64_t seconds = days * 86400 + now.hour * 3600 + now.minute * 60 + now.second;
  const auto expected = static_cast<std::int64_t>(world->LocalNow() / 10'000'000);
  EXPECT_LE(std::llabs(seconds - expected), 5) << now.year << "-" << now.month << "-" << now.day;
  EXPECT_EQ(now.dayOfWeek, (days + 1) % 7) << "1601-01-01 was a Monday";
  EXPECT_LT(now.milliseconds, 1000);
}

TEST_F(SeamContract, GetFileAttributesTellsFilesFromFolders) {
  world->MakeFile(folder + "\\plain.txt", "x", FileAttributeArchive);
  world->MakeFile(folder + "\\locked.txt", "x", FileAttributeReadOnly | FileAttributeArchive);
  world->MakeFile(folder + "\\hidden.txt", "x", FileAttributeHidden | FileAttributeArchive);
  world->MakeFolder(folder + "\\sub");
  struct Case {
    std::string path;
    std::uint32_t attributes;
  };
  const Case cases[] = {
      {folder + "\\plain.txt", FileAttributeArchive},
      {folder + "\\LOCKED.TXT", FileAttributeReadOnly | FileAttributeArchive},
      {folder + "\\hidden.txt", FileAttributeHidden | FileAttributeArchive},
      {folder + "\\sub", FileAttributeDirectory},
      {folder + "\\sub\\", FileAttributeDirectory},
      {folder + "\\plain.txt\\", InvalidFileAttributes},
      {folder + "\\absent.txt", InvalidFileAttributes},
      {folder + "\\absent\\", InvalidFileAttributes},
  };
  for (const Case& c : cases)
    EXPECT_EQ(windows().GetFileAttributes(c.path), c.attributes) << c.path;

  // Windows marks the root of a system disk hidden and system as well.
  const std::uint32_t root = windows().GetFileAttributes("C:\\");
  EXPECT_NE(root, InvalidFileAttributes);
  EXPECT_TRUE(root & FileAttributeDirectory);
}

TEST_F(SeamContract, DrivesTellTheirTypeAndSpace) {
  for (const char* root : {"C:\\", "c:\\"}) {
    EXPECT_EQ(windows().GetDriveType(root), DriveFixed) << root;
    std::uint64_t free = 0;
    std::uint64_t total = 0;
    EXPECT_TRUE(windows().GetDiskFreeSpaceEx(root, free, total)) << root;
    EXPECT_GT(total, 0u) << root;
    EXPECT_LE(free, total) << root;
  }

  EXPECT_EQ(windows().GetDriveType("Q:\\"), DriveNoRootDir);
  std::uint64_t free = 1;
  std::uint64_t total = 2;
  EXPECT_FALSE(windows().GetDiskFreeSpaceEx("Q:\\", free, total));
  EXPECT_EQ(free, 1u);
  EXPECT_EQ(total, 2u);
}

TEST_F(SeamContract, DatesAndTimesTakeTheLocalesFormats) {
  struct Case {
    std::uint32_t locale;
    SystemTime time;
    const char* date;
    const char* clock;
  };
  const Case cases[] = {
      {Dutch, At(2001, 3, 4, 5, 6, 8), "4-3-2001", "05:06:08"},
      {Dutch, At(2026, 12, 31, 23, 59, 58), "31-12-2026", "23:59:58"},
      {Dutch, At(1980, 1, 1, 0, 0, 0), "1-1-1980", "00:00:00"},
      {UsEnglish, At(2001, 3, 4, 5, 6, 8), "3/4/2001", "5:06:08 AM"},
      {UsEnglish, At(2026, 12, 31, 23, 59, 58), "12/31/2026", "11:59:58 PM"},
      {UsEnglish, At(1980, 1, 1, 0, 0, 0), "1/1/1980", "12:00:00 AM"},
  };
  for (const Case& c : cases) {
    std::string date = Untouched;
    std::string clock = Untouched;
    EXPECT_TRUE(windows().GetDateFormat(c.locale, DateShortDate, c.time, date)) << c.date;
    EXPECT_TRUE(windows().GetTimeFormat(c.locale, TimeLongFormat, c.time, clock)) << c.clock;
    EXPECT_EQ(date, c.date);
    EXPECT_EQ(clock, c.clock);
  }
}

TEST_F(SeamContract, TheUserDefaultLocaleFormatsAsTheUsersLocale) {
  const SystemTime time = At(2026, 12, 8, 13, 5, 8);
  std::string expected;
  std::string actual;
  ASSERT_TRUE(windows().GetDateFormat(world->UserLocale(), DateShortDate, time, expected));
  EXPECT_TRUE(windows().GetDateFormat(LocaleUserDefault, DateShortDate, time, actual));
  EXPECT_EQ(actual, expected);
  ASSERT_TRUE(windows().GetTimeFormat(world->UserLocale(), TimeLongFormat, time, expected));
  EXPECT_TRUE(windows().GetTimeFormat(LocaleUserDefault, TimeLongFormat, time, actual));
  EXPECT_EQ(actual, expected);
}

}  // namespace
}  // namespace tarvo
