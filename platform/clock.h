#pragma once
// A monotonic clock, so elapsed times can be tested on a clock of the test's own.
#include <chrono>

namespace tarnovox {

class Clock {
 public:
  using time_point = std::chrono::steady_clock::time_point;
  virtual ~Clock() = default;
  virtual time_point Now() const = 0;
};

class SystemClock final : public Clock {
 public:
  time_point Now() const override { return std::chrono::steady_clock::now(); }
};

}  // namespace tarnovox
