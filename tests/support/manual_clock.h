#pragma once
#include "platform/clock.h"

namespace tarnovox::testing {

class ManualClock : public Clock {
 public:
  time_point Now() const override { return now_; }
  std::chrono::system_clock::time_point WallNow() const override { return wall_; }
  void Advance(int ms) {
    now_ += std::chrono::milliseconds(ms);
    wall_ += std::chrono::milliseconds(ms);
  }
  void SetWall(std::chrono::system_clock::time_point wall) { wall_ = wall; }

 private:
  time_point now_ = time_point(std::chrono::seconds(1));
  std::chrono::system_clock::time_point wall_ = std::chrono::system_clock::time_point(std::chrono::seconds(1));
};

}  // namespace tarnovox::testing
