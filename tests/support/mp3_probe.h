#pragma once
// Independent checks of an MP3 file: the ffmpeg tools decode it, and the frame
// headers are read straight from the bytes.
#include <cstdint>
#include <string>
#include <vector>

namespace tarnovox::testing {

struct Mp3FrameHeader {
  int version = 0;  // 1 MPEG-1, 2 MPEG-2, 25 MPEG-2.5
  int bitRate = 0;  // kbit/s
  int sampleRate = 0;
  int mode = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
  bool crc = false;
  bool privateBit = false;
  bool copyright = false;
  bool original = false;
  size_t end = 0;  // offset in the file just past this frame
};

struct DecodedMp3 {
  bool ok = false;
  std::string codec;
  int sampleRate = 0;
  int channels = 0;
  std::vector<float> left;   // first channel
  std::vector<float> right;  // second channel, empty for mono
  double Seconds() const { return sampleRate ? static_cast<double>(left.size()) / sampleRate : 0; }
};

// A failed decode fails the test and gives no samples.
DecodedMp3 DecodeMp3(const std::string& path);

// Every frame header from the first sync word on, following frame lengths.
std::vector<Mp3FrameHeader> ReadFrameHeaders(const std::string& path);

// Sine of `frequency` Hz, 16-bit interleaved, `channels` copies per frame.
std::vector<int16_t> Tone(double frequency, int sampleRate, int channels, double seconds,
                          double amplitude = 0.5);

}  // namespace tarnovox::testing
