#pragma once
// Tests against the rig's sound server (tests/e2e/rig.sh): whether it is
// there, and what its null sink "test_sink" played, captured from its monitor
// as 44100 Hz 16-bit stereo.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/sound_check.h"

namespace tarnovox::testing {

inline bool SoundServerAvailable() { return std::getenv("PULSE_SERVER") != nullptr; }

// 16-bit stereo frames, each as one value; a partial frame at the end is left out.
std::vector<uint32_t> FramesOf(const void* data, size_t bytes);
// Interleaved 16-bit stereo samples as frames.
std::vector<uint32_t> Frames(const std::vector<int16_t>& samples);
// The 16-bit samples of a raw little-endian file.
std::vector<int16_t> ReadRawSamples(const std::string& path);

// The sink's sound as the server delivered it, captured with parec into the
// raw file at `path` from construction on. A player starved of time on a busy
// machine leaves silence in what the server plays (PipeWire then skips as much
// of the file): what a recording or a playback test expects is this capture,
// not the file that was played.
class SinkCapture {
 public:
  explicit SinkCapture(std::string path);
  // Ends the capture `after` from now; the interleaved samples.
  std::vector<int16_t> StopSamples(std::chrono::milliseconds after = std::chrono::milliseconds(0));
  // Ends the capture a second later, so it holds all a recording stopped now
  // got; the frames.
  std::vector<uint32_t> Stop() { return Frames(StopSamples(std::chrono::seconds(1))); }

 private:
  std::string path_;
  BackgroundProcess parec_;
};

}  // namespace tarnovox::testing
