#pragma once
// A monotonic clock, so elapsed times can be tested on a clock of the test's own,
// and the wall clock for what happens at a time of day.
#include <chrono>

namespace tarnovox {

class Clock {
 public:
  using time_point = std::chrono::steady_clock::time_point;
  virtual ~Clock() = default;
  virtual time_point Now() const = 0;
  // Wall-clock time: follows the system's time when it is set or the computer sleeps.
  virtual std::chrono::system_clock::time_point WallNow() const = 0;
};

class SystemClock final : public Clock {
 public:
  time_point Now() const override { return std::chrono::steady_clock::now(); }
  std::chrono::system_clock::time_point WallNow() const override { return std::chrono::system_clock::now(); }
};

}  // namespace tarnovox
