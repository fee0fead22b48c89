#include "tests/playback/sound_tools.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace tarnovox::testing {

MonitorCapture::MonitorCapture(const std::string& path)
    : path_(path),
      parec_({"sh", "-c",
              "exec parec --raw --format=s16le --rate=44100 --channels=2 --latency-msec=20 "
              "--device=test_sink.monitor > '" + path + "'"}) {
  EXPECT_TRUE(parec_.Started()) << "parec did not start";
}

std::vector<int16_t> MonitorCapture::Stop() {
  parec_.Stop();
  return ReadRawSamples(path_);
}

std::vector<int16_t> ReadRawSamples(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);  // s16le on a little-endian machine
  return samples;
}

long FirstLoudFrame(const std::vector<int16_t>& samples, int threshold) {
  for (size_t i = 0; i < samples.size(); ++i)
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
  std::vector<int16_t> left;
  for (size_t f = firstFrame; f < firstFrame + frames && 2 * f < samples.size(); ++f) left.push_back(samples[2 * f]);
  return ZeroCrossingHz(left, 0, frames, 44100);
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
