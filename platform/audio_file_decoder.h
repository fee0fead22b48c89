#pragma once
// Decodes the first audio stream of a WAV, MP3, WMA, FLAC or Opus file (any format the
// FFmpeg libraries know) into interleaved signed 16-bit frames at the file's own
// rate: mono stays mono, everything else becomes stereo.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
}

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
  // Why the last Open failed, in the system's words.
  const std::string& Failure() const { return failure_; }
  // The container's duration, rounded to milliseconds (below 2^32 ms).
  std::chrono::milliseconds Length() const { return length_; }
  uint32_t SampleRate() const { return sampleRate_; }
  uint16_t Channels() const { return channels_; }

  // The next Read starts at `to` from the beginning, to the sample where the
  // file's timestamps allow.
  bool SeekTo(std::chrono::milliseconds to);
  // Appends the next decoded frames to `out`; false once the file has ended.
  bool Read(std::vector<int16_t>& out);

 private:
  bool OpenFile(const std::string& path);
  bool OpenCodec();
  bool ReceiveFrame();
  bool ConvertFrame(std::vector<int16_t>& out);
  bool MakeResampler();
  void Flush(std::vector<int16_t>& out);
  int64_t FrameStartSample() const;
  void Release();

  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  SwrContext* resampler_ = nullptr;
  // The frame format the resampler was made for.
  struct InputFormat {
    int sampleFormat = -1;
    int sampleRate = 0;
    int channels = 0;
    AVChannelLayout layout{};
  } resamplerInput_;
  static bool SameFormat(const AVFrame* frame, const InputFormat& format);
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  int stream_ = -1;
  std::chrono::milliseconds length_{0};
  uint32_t sampleRate_ = 0;
  uint16_t channels_ = 0;
  bool inputEnded_ = false;
  // Samples before this index (counted from the start of the file) are dropped,
  // so that a seek lands on its sample rather than on the packet before it.
  int64_t skipUntilSample_ = 0;
  int64_t nextSample_ = 0;
  bool nextSampleKnown_ = false;
  std::string failure_;
  std::vector<int16_t> pending_;  // the sound decoded by Open, handed out first
};

}  // namespace tarnovox
