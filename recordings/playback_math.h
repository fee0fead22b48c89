#pragma once
// Conversions between playback milliseconds and the position bar's 0..1000.
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

// The bar position showing `positionMs` of `lengthMs` (> 0); no overflow for
// any 32-bit values.
constexpr uint32_t BarPositionFor(uint32_t positionMs, uint32_t lengthMs) {
  return static_cast<uint32_t>(RoundHalfEven(1000ull * positionMs, lengthMs));
}

// The millisecond a bar position 0..1000 stands for.
constexpr uint32_t SeekTargetFor(uint32_t lengthMs, uint32_t barPosition) {
  return static_cast<uint32_t>(RoundHalfEven(static_cast<uint64_t>(lengthMs) * barPosition, 1000));
}

}  // namespace tarnovox
