#pragma once
// Sound heard on the test sink: a capture of its monitor, and simple measures
// of 44100 Hz 16-bit stereo sound (interleaved samples; positions in frames).
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/sound_check.h"

namespace tarnovox::testing {

// Records the sink's monitor with parec into a raw file from construction on.
class MonitorCapture {
 public:
  explicit MonitorCapture(const std::string& path);
  // Ends the capture; returns the captured samples.
  std::vector<int16_t> Stop();

 private:
  std::string path_;
  BackgroundProcess parec_;
};

std::vector<int16_t> ReadRawSamples(const std::string& path);
// Index of the first frame with a sample louder than `threshold`, or -1.
long FirstLoudFrame(const std::vector<int16_t>& samples, int threshold);
// Index in `haystack` (at a frame boundary) where needle[from, from + count)
// appears, or -1.
long FindSamples(const std::vector<int16_t>& haystack, const std::vector<int16_t>& needle, size_t from, size_t count);
// Frequency and RMS of the left channel over `frames` frames from `firstFrame`.
double FrequencyAt(const std::vector<int16_t>& samples, size_t firstFrame, size_t frames);
double LevelAt(const std::vector<int16_t>& samples, size_t firstFrame, size_t frames);

struct SoundSegment {
  size_t firstFrame;
  size_t endFrame;
};
// Runs of sound separated by at least `minGapFrames` of near silence.
std::vector<SoundSegment> SoundSegments(const std::vector<int16_t>& samples, size_t minGapFrames);

}  // namespace tarnovox::testing
