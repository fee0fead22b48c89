#pragma once
// Independent tools for the playback tests: the command-line programs that make
// and measure files, a capture of the test sink's monitor, and simple analysis
// of 44100 Hz 16-bit stereo sound.
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tarnovox::testing {

// Runs a shell command; returns its standard output, or fails the test.
std::string RunCommand(const std::string& command);

// Records the sink's monitor with parec into a raw file until Stop.
class MonitorCapture {
 public:
  explicit MonitorCapture(std::string path);
  ~MonitorCapture();
  void Start();
  // Returns the captured interleaved stereo samples.
  std::vector<int16_t> Stop();

 private:
  std::string path_;
  pid_t pid_ = -1;
};

std::vector<int16_t> ReadRawSamples(const std::string& path);
// Index of the first stereo frame with a sample louder than `threshold`, or -1.
long FirstLoudFrame(const std::vector<int16_t>& samples, int threshold, size_t fromFrame = 0);
// Index in `haystack` (at a frame boundary) where needle[from, from + count)
// appears, or -1.
long FindSamples(const std::vector<int16_t>& haystack, const std::vector<int16_t>& needle, size_t from, size_t count);
// Frequency of the left channel over `frames` frames from `firstFrame`, by zero crossings.
double FrequencyAt(const std::vector<int16_t>& samples, size_t firstFrame, size_t frames);
// RMS of the left channel over `frames` frames from `firstFrame`.
double LevelAt(const std::vector<int16_t>& samples, size_t firstFrame, size_t frames);

struct SoundSegment {
  size_t firstFrame;
  size_t endFrame;
};
// Runs of sound separated by at least `minGapFrames` of near silence.
std::vector<SoundSegment> SoundSegments(const std::vector<int16_t>& samples, size_t minGapFrames);

}  // namespace tarnovox::testing
