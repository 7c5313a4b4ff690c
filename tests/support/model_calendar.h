// The model's calendar: FILETIME values as dates and times of the proleptic
// Gregorian calendar, as Windows converts them.
#pragma once

#include <cstdint>

#include "platform/win32_api.h"

namespace tarvo {

inline constexpr std::uint64_t TicksPerSecond = 10'000'000;

SystemTime SystemTimeFromFileTime(std::uint64_t fileTime);

}  // namespace tarvo
