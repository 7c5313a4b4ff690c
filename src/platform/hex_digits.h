// Numbers written as upper-case hexadecimal digits, as the log and the
// error report show them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvo {

// The lowest `count` digits of `value`, leading zeros included.
inline std::string UpperHexDigits(std::uint64_t value, std::size_t count) {
  std::string digits(count, '0');
  for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit, value >>= 4) {
    *digit = "0123456789ABCDEF"[value & 0xF];
  }
  return digits;
}

}  // namespace tarvo
