#include "tests/playback/sound_tools.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

extern char** environ;

namespace tarnovox::testing {

std::string RunCommand(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << command;
    return output;
  }
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  const int status = pclose(pipe);
  EXPECT_EQ(status, 0) << command << "\n" << output;
  return output;
}

MonitorCapture::MonitorCapture(std::string path) : path_(std::move(path)) {}

MonitorCapture::~MonitorCapture() {
  if (pid_ > 0) Stop();
}

void MonitorCapture::Start() {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const char* argv[] = {"parec",          "--raw",         "--format=s16le",   "--rate=44100",
                        "--channels=2",   "--latency-msec=20", "--device=test_sink.monitor", nullptr};
  const int result = posix_spawnp(&pid_, "parec", &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  ASSERT_EQ(result, 0) << "parec did not start";
}

std::vector<int16_t> MonitorCapture::Stop() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  return ReadRawSamples(path_);
}

std::vector<int16_t> ReadRawSamples(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
  return samples;
}

long FirstLoudFrame(const std::vector<int16_t>& samples, int threshold, size_t fromFrame) {
  for (size_t i = fromFrame * 2; i < samples.size(); ++i)
    if (std::abs(samples[i]) > threshold) return static_cast<long>(i / 2);
  return -1;
}

long FindSamples(const std::vector<int16_t>& haystack, const std::vector<int16_t>& needle, size_t from, size_t count) {
  if (from + count > needle.size()) return -1;
  auto first = needle.begin() + long(from);
  for (size_t i = 0; i + count <= haystack.size(); i += 2)
    if (std::equal(first, first + long(count), haystack.begin() + long(i))) return long(i);
  return -1;
}

double FrequencyAt(const std::vector<int16_t>& samples, size_t firstFrame, size_t frames) {
  int crossings = 0;
  for (size_t f = firstFrame + 1; f < firstFrame + frames && 2 * f < samples.size(); ++f)
    if ((samples[2 * (f - 1)] < 0) != (samples[2 * f] < 0)) ++crossings;
  return crossings / 2.0 / (static_cast<double>(frames) / 44100.0);
}

double LevelAt(const std::vector<int16_t>& samples, size_t firstFrame, size_t frames) {
  double sum = 0;
  size_t n = 0;
  for (size_t f = firstFrame; f < firstFrame + frames && 2 * f < samples.size(); ++f, ++n)
    sum += double(samples[2 * f]) * samples[2 * f];
  return n == 0 ? 0 : std::sqrt(sum / n);
}

std::vector<SoundSegment> SoundSegments(const std::vector<int16_t>& samples, size_t minGapFrames) {
  constexpr size_t kWindow = 441;  // 10 ms
  std::vector<SoundSegment> segments;
  for (size_t f = 0; 2 * (f + kWindow) <= samples.size(); f += kWindow) {
    if (LevelAt(samples, f, kWindow) < 300) continue;
    if (segments.empty() || f - segments.back().endFrame >= minGapFrames)
      segments.push_back({f, f + kWindow});
    else
      segments.back().endFrame = f + kWindow;
  }
  return segments;
}

}  // namespace tarnovox::testing
