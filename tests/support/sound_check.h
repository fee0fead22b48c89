#pragma once
// Independent checks shared by the tests: real tools run as commands or in the
// background, WAV bytes written by hand, and a tone's pitch from zero crossings.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern char** environ;

namespace tarnovox::testing {

// Standard output of a shell command; a command that fails fails the test.
inline std::string RunCommand(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << command;
    return output;
  }
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0) << command << "\n" << output;
  return output;
}

// ffprobe's values of `entries` ("format=duration", "stream=sample_rate,channels")
// for the first audio stream, comma-separated.
inline std::string Probe(const std::string& entries, const std::string& file) {
  std::string line =
      RunCommand("ffprobe -v error -select_streams a:0 -show_entries " + entries + " -of csv=p=0 '" + file + "'");
  line = line.substr(0, line.find('\n'));
  while (!line.empty() && line.back() == ',') line.pop_back();  // side data of some streams adds fields
  return line;
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
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;
  bool Started() const { return pid_ > 0; }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
};

// A PCM WAV file with the plain 44-byte header around the samples in `data`.
template <typename Samples>
std::string WavBytes(uint16_t channels, uint32_t rate, uint16_t bits, const Samples& data) {
  const std::string body(reinterpret_cast<const char*>(data.data()), data.size() * sizeof(data[0]));
  auto le = [](uint32_t v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>(v >> (8 * i));
    return s;
  };
  const uint32_t align = channels * bits / 8u;
  return "RIFF" + le(36 + body.size(), 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(channels, 2) + le(rate, 4) +
         le(rate * align, 4) + le(align, 2) + le(bits, 2) + "data" + le(body.size(), 4) + body;
}

// Frequency of the tone in samples [from, to) at `rate`, from its sign changes.
template <typename Samples>
double ZeroCrossingHz(const Samples& s, size_t from, size_t to, double rate) {
  size_t changes = 0;
  for (size_t i = from + 1; i < to && i < s.size(); ++i) changes += (s[i - 1] < 0) != (s[i] < 0);
  return changes / 2.0 * rate / static_cast<double>(to - from);
}

// Frequency over the middle half of the samples, away from fades at the edges.
template <typename Samples>
double ToneHz(const Samples& s, double rate) {
  return ZeroCrossingHz(s, s.size() / 4, s.size() * 3 / 4, rate);
}

}  // namespace tarnovox::testing
