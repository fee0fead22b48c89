#pragma once
// Conversions between playback times and the position bar's 0..1000.
#include <chrono>
#include <cstdint>

namespace tarnovox {

// numerator / denominator rounded to the nearest integer, halves to even
// (the rounding of the platform's floating-point conversion). denominator > 0.
constexpr uint64_t RoundHalfEven(uint64_t numerator, uint64_t denominator) {
  uint64_t quotient = numerator / denominator;
  const uint64_t twiceRemainder = 2 * (numerator % denominator);
  if (twiceRemainder > denominator || (twiceRemainder == denominator && quotient % 2 == 1)) ++quotient;
  return quotient;
}

// The bar position showing `position` of `length` (> 0); both within 0 to
// 2^32 - 1 ms, the player's range, for which nothing overflows.
constexpr uint32_t BarPositionFor(std::chrono::milliseconds position, std::chrono::milliseconds length) {
  return static_cast<uint32_t>(
      RoundHalfEven(1000ull * static_cast<uint64_t>(position.count()), static_cast<uint64_t>(length.count())));
}

// The time a bar position 0..1000 stands for.
constexpr std::chrono::milliseconds SeekTargetFor(std::chrono::milliseconds length, uint32_t barPosition) {
  return std::chrono::milliseconds(RoundHalfEven(static_cast<uint64_t>(length.count()) * barPosition, 1000));
}

}  // namespace tarnovox
