#pragma once
// Start-up milestones on stderr when TARNOVOX_STARTUP_TRACE is set, in
// milliseconds since the benchmark's exec (WINDOW_WAIT_START_MS, see
// bench/window_wait.c) or since the first milestone, to find where the time
// before the first window goes.
#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace tarnovox {

inline void StartupMark(const char* what) {
  static const bool enabled = std::getenv("TARNOVOX_STARTUP_TRACE") != nullptr;
  if (!enabled) return;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const double ms = now.tv_sec * 1e3 + now.tv_nsec / 1e6;
  static const double origin = std::getenv("WINDOW_WAIT_START_MS") ? std::atof(std::getenv("WINDOW_WAIT_START_MS")) : ms;
  std::fprintf(stderr, "startup %7.1f ms  %s\n", ms - origin, what);
}

}  // namespace tarnovox
