#pragma once
#include "platform/clock.h"

namespace tarnovox::testing {

class ManualClock : public Clock {
 public:
  time_point Now() const override { return now_; }
  void Advance(int ms) { now_ += std::chrono::milliseconds(ms); }

 private:
  time_point now_ = time_point(std::chrono::seconds(1));
};

}  // namespace tarnovox::testing
