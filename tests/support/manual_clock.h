#pragma once
#include "platform/clock.h"

namespace tarnovox::testing {

class ManualClock : public Clock {
 public:
  uint32_t TickCount() const override { return now_; }
  void Advance(uint32_t ms) { now_ += ms; }

 private:
  uint32_t now_ = 1000;
};

}  // namespace tarnovox::testing
