#include "platform/media_player_decoder.h"

#include <algorithm>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace tarnovox {

namespace {

// A damaged file may yield a run of undecodable packets; past this many in a
// row it counts as ended rather than spinning through garbage.
constexpr int kMaxConsecutiveErrors = 64;

}  // namespace

AudioFileDecoder::AudioFileDecoder() = default;

AudioFileDecoder::~AudioFileDecoder() { Release(); }

void AudioFileDecoder::Release() {
  swr_free(&resampler_);
  avcodec_free_context(&codec_);
  avformat_close_input(&format_);
  av_packet_free(&packet_);
  av_frame_free(&frame_);
}

bool AudioFileDecoder::Open(const std::string& path) {
  // A file that cannot be played is simply not played; the libraries' own
  // complaints about it would only clutter the terminal.
  static std::once_flag quiet;
  std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });
  Release();
  packet_ = av_packet_alloc();
  frame_ = av_frame_alloc();
  if (packet_ == nullptr || frame_ == nullptr) return false;
  if (avformat_open_input(&format_, path.c_str(), nullptr, nullptr) < 0) return false;
  if (avformat_find_stream_info(format_, nullptr) < 0 || !OpenCodec()) return false;

  const AVStream* stream = format_->streams[stream_];
  int64_t lengthUs = format_->duration;
  if (lengthUs == AV_NOPTS_VALUE && stream->duration != AV_NOPTS_VALUE)
    lengthUs = av_rescale_q(stream->duration, stream->time_base, AV_TIME_BASE_Q);
  lengthMs_ = lengthUs > 0 ? static_cast<uint32_t>(std::min<int64_t>((lengthUs + 500) / 1000, UINT32_MAX)) : 0;

  inputEnded_ = false;
  skipUntilSample_ = 0;
  nextSampleKnown_ = false;
  pending_.clear();
  while (pending_.empty()) {
    if (!ReceiveFrame()) return false;
    if (!ConvertFrame(pending_)) return false;
  }
  return true;
}

bool AudioFileDecoder::OpenCodec() {
  const AVCodec* decoder = nullptr;
  stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
  if (stream_ < 0 || decoder == nullptr) return false;
  codec_ = avcodec_alloc_context3(decoder);
  if (codec_ == nullptr) return false;
  if (avcodec_parameters_to_context(codec_, format_->streams[stream_]->codecpar) < 0) return false;
  // Without the packets' time base the MP3 decoder cannot trim its start padding.
  codec_->pkt_timebase = format_->streams[stream_]->time_base;
  if (avcodec_open2(codec_, decoder, nullptr) < 0) return false;
  if (codec_->sample_rate <= 0) return false;
  sampleRate_ = static_cast<uint32_t>(codec_->sample_rate);
  channels_ = codec_->ch_layout.nb_channels == 1 ? 1 : 2;
  return true;
}

bool AudioFileDecoder::SeekTo(uint32_t ms) {
  if (format_ == nullptr) return false;
  const AVStream* stream = format_->streams[stream_];
  const int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
  const int64_t target = static_cast<int64_t>(ms) * sampleRate_ / 1000;
  const int64_t timestamp = start + av_rescale_q(target, AVRational{1, static_cast<int>(sampleRate_)}, stream->time_base);
  if (av_seek_frame(format_, stream_, timestamp, AVSEEK_FLAG_BACKWARD) < 0) return false;
  avcodec_flush_buffers(codec_);
  inputEnded_ = false;
  pending_.clear();
  skipUntilSample_ = target;
  nextSampleKnown_ = false;
  return true;
}

bool AudioFileDecoder::Read(std::vector<int16_t>& out) {
  if (!pending_.empty()) {
    out.insert(out.end(), pending_.begin(), pending_.end());
    pending_.clear();
    return true;
  }
  if (!ReceiveFrame()) return false;
  return ConvertFrame(out);
}

bool AudioFileDecoder::ReceiveFrame() {
  int errors = 0;
  for (;;) {
    int result = avcodec_receive_frame(codec_, frame_);
    if (result == 0) return true;
    if (result == AVERROR_EOF) return false;
    if (result != AVERROR(EAGAIN) && ++errors > kMaxConsecutiveErrors) return false;
    if (inputEnded_) {
      if (result != AVERROR(EAGAIN)) continue;
      return false;
    }
    if (av_read_frame(format_, packet_) < 0) {
      avcodec_send_packet(codec_, nullptr);  // drain what the decoder still holds
      inputEnded_ = true;
      continue;
    }
    if (packet_->stream_index == stream_ && avcodec_send_packet(codec_, packet_) < 0) ++errors;
    if (errors > kMaxConsecutiveErrors) {
      av_packet_unref(packet_);
      return false;
    }
    av_packet_unref(packet_);
  }
}

int64_t AudioFileDecoder::FrameStartSample() const {
  if (nextSampleKnown_) return nextSample_;
  const AVStream* stream = format_->streams[stream_];
  const int64_t pts = frame_->best_effort_timestamp;
  // Without a timestamp the decoder is taken to stand where it was sent.
  if (pts == AV_NOPTS_VALUE) return skipUntilSample_;
  const int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
  return av_rescale_q(pts - start, stream->time_base, AVRational{1, static_cast<int>(sampleRate_)});
}

bool AudioFileDecoder::ConvertFrame(std::vector<int16_t>& out) {
  // Joined files ("cat a.mp3 b.mp3") change channels or rate mid-stream; a
  // converter set up for other input would read past the frame's planes.
  const FrameShape shape{frame_->ch_layout.nb_channels, frame_->ch_layout.order,
                         frame_->ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? frame_->ch_layout.u.mask : 0,
                         frame_->sample_rate, frame_->format};
  if (resampler_ != nullptr && shape != resamplerInput_) swr_free(&resampler_);
  if (resampler_ == nullptr) {
    resamplerInput_ = shape;
    AVChannelLayout in{};
    AVChannelLayout outLayout{};
    if (frame_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
      av_channel_layout_default(&in, frame_->ch_layout.nb_channels);
    else
      av_channel_layout_copy(&in, &frame_->ch_layout);
    av_channel_layout_default(&outLayout, channels_);
    int result = swr_alloc_set_opts2(&resampler_, &outLayout, AV_SAMPLE_FMT_S16, sampleRate_, &in,
                                     static_cast<AVSampleFormat>(frame_->format), frame_->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&outLayout);
    if (result < 0 || swr_init(resampler_) < 0) return false;
  }
  const int64_t frameStart = FrameStartSample();
  nextSample_ = frameStart + frame_->nb_samples;
  nextSampleKnown_ = true;

  const int capacity = swr_get_out_samples(resampler_, frame_->nb_samples);
  if (capacity < 0) return false;
  std::vector<int16_t> converted(static_cast<size_t>(capacity) * channels_);
  uint8_t* target = reinterpret_cast<uint8_t*>(converted.data());
  const int produced = swr_convert(resampler_, &target, capacity,
                                   const_cast<const uint8_t**>(frame_->extended_data), frame_->nb_samples);
  av_frame_unref(frame_);
  if (produced < 0) return false;
  const int64_t skip = std::clamp<int64_t>(skipUntilSample_ - frameStart, 0, produced);
  out.insert(out.end(), converted.begin() + skip * channels_, converted.begin() + int64_t{produced} * channels_);
  return true;
}

}  // namespace tarnovox
