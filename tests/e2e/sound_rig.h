#pragma once
// Helpers for tests against the private sound server: real-time ticking,
// playing files into the null sink, running independent tools.
#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/support/sound_check.h"

namespace tarnovox::testing {

inline bool SoundServerAvailable() { return std::getenv("PULSE_SERVER") != nullptr; }

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
