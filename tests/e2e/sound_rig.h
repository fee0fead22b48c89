#pragma once
// Helpers for tests against the private sound server: real-time ticking, and
// (from tests/support) whether the server is there, its sink's sound and the
// independent tools.
#include <chrono>
#include <thread>

#include "tests/support/sink_capture.h"
#include "tests/support/sound_check.h"

namespace tarnovox::testing {

// Calls tick every 100 ms of real time, `count` times.
template <typename Tick>
void TickFor(int count, Tick tick) {
  auto next = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    next += std::chrono::milliseconds(100);
    std::this_thread::sleep_until(next);
    tick();
  }
}

}  // namespace tarnovox::testing
