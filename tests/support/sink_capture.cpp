#include "tests/support/sink_capture.h"

#include <cstring>
#include <thread>

#include "tests/support/temp_folder.h"

namespace tarnovox::testing {

std::vector<uint32_t> FramesOf(const void* data, size_t bytes) {
  std::vector<uint32_t> frames(bytes / 4);
  if (!frames.empty()) std::memcpy(frames.data(), data, frames.size() * 4);
  return frames;
}

std::vector<uint32_t> Frames(const std::vector<int16_t>& samples) {
  return FramesOf(samples.data(), samples.size() * 2);
}

std::vector<int16_t> ReadRawSamples(const std::string& path) {
  const std::string bytes = ReadFileText(path);
  std::vector<int16_t> samples(bytes.size() / 2);
  if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);  // s16le, little-endian machine
  return samples;
}

SinkCapture::SinkCapture(std::string path)
    : path_(std::move(path)),
      parec_({"sh", "-c",
              "exec parec --raw --format=s16le --rate=44100 --channels=2 --latency-msec=20 "
              "--device=test_sink.monitor > '" + path_ + "'"}) {
  EXPECT_TRUE(parec_.Started()) << "parec did not start";
}

std::vector<int16_t> SinkCapture::StopSamples(std::chrono::milliseconds after) {
  std::this_thread::sleep_for(after);
  parec_.Stop();
  return ReadRawSamples(path_);
}

}  // namespace tarnovox::testing
