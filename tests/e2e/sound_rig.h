#pragma once
// Helpers for tests against the private sound server: real-time ticking,
// playing files into the null sink, running independent tools.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace tarnovox::testing {

inline bool SoundServerAvailable() { return std::getenv("PULSE_SERVER") != nullptr; }

// Standard output of a shell command.
inline std::string RunCommand(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  pclose(pipe);
  return output;
}

// A program running in the background until Stop or destruction.
class BackgroundProcess {
 public:
  explicit BackgroundProcess(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
  }
  ~BackgroundProcess() { Stop(); }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
};

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
