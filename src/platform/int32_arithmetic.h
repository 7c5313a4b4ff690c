// Sums and differences of 32-bit signed values as a 32-bit machine word
// gives them: two's complement, wrapping around instead of overflowing.
#pragma once

#include <cstdint>
#include <limits>

namespace tarvo {

// The signed value whose two's-complement bits are `bits`.
constexpr std::int32_t FromTwosComplement(std::uint32_t bits) {
  return bits <= static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())
             ? static_cast<std::int32_t>(bits)
             : -static_cast<std::int32_t>(~bits) - 1;
}

constexpr std::int32_t WrappingAdd(std::int32_t first, std::int32_t second) {
  return FromTwosComplement(static_cast<std::uint32_t>(first) + static_cast<std::uint32_t>(second));
}

constexpr std::int32_t WrappingSubtract(std::int32_t first, std::int32_t second) {
  return FromTwosComplement(static_cast<std::uint32_t>(first) - static_cast<std::uint32_t>(second));
}

}  // namespace tarvo
