#pragma once
// Decodes the first audio stream of a WAV, MP3 or WMA file (any format the
// FFmpeg libraries know) into interleaved signed 16-bit frames at the file's own
// rate: mono stays mono, everything else becomes stereo.
#include <cstdint>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVCodecContext;
struct SwrContext;
struct AVPacket;
struct AVFrame;

namespace tarnovox {

class AudioFileDecoder {
 public:
  AudioFileDecoder();
  ~AudioFileDecoder();
  AudioFileDecoder(const AudioFileDecoder&) = delete;
  AudioFileDecoder& operator=(const AudioFileDecoder&) = delete;

  // Opens the file and decodes its first sound, so a file that cannot be
  // decoded (or holds no sound at all) fails here.
  bool Open(const std::string& path);
  // The container's duration, rounded to milliseconds.
  uint32_t LengthMs() const { return lengthMs_; }
  uint32_t SampleRate() const { return sampleRate_; }
  uint16_t Channels() const { return channels_; }

  // The next Read starts at `ms` from the beginning, to the sample where the
  // file's timestamps allow.
  bool SeekTo(uint32_t ms);
  // Appends the next decoded frames to `out`; false once the file has ended.
  bool Read(std::vector<int16_t>& out);

 private:
  bool OpenCodec();
  bool ReceiveFrame();
  bool ConvertFrame(std::vector<int16_t>& out);
  int64_t FrameStartSample() const;
  void Release();

  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  SwrContext* resampler_ = nullptr;
  // The input format the resampler was set up for.
  struct FrameShape {
    int channels = 0;
    int order = 0;
    uint64_t mask = 0;
    int rate = 0;
    int format = -1;
    bool operator==(const FrameShape&) const = default;
  } resamplerInput_;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  int stream_ = -1;
  uint32_t lengthMs_ = 0;
  uint32_t sampleRate_ = 0;
  uint16_t channels_ = 0;
  bool inputEnded_ = false;
  // Samples before this index (counted from the start of the file) are dropped,
  // so that a seek lands on its sample rather than on the packet before it.
  int64_t skipUntilSample_ = 0;
  int64_t nextSample_ = 0;
  bool nextSampleKnown_ = false;
  std::vector<int16_t> pending_;  // the sound decoded by Open, handed out first
};

}  // namespace tarnovox
