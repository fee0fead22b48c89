#include "platform/audio_file_decoder.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <dlfcn.h>

#include "platform/loaded_function.h"
#include "platform/regular_file.h"

namespace tarnovox {

namespace {

// The FFmpeg libraries, with the hundred libraries of codecs they pull in,
// are loaded when the first file is played rather than when the program
// starts: they would double the time to the first window. Every FFmpeg
// function called here is in this list, and the calls keep their own names.
#define TARNOVOX_FFMPEG_FUNCTIONS(X)                                                                            \
  X(av_channel_layout_compare) X(av_channel_layout_copy) X(av_channel_layout_default)                          \
  X(av_channel_layout_uninit) X(av_find_best_stream) X(av_frame_alloc) X(av_frame_free) X(av_frame_unref)      \
  X(av_log_set_level) X(av_packet_alloc) X(av_packet_free) X(av_packet_unref) X(av_read_frame) X(av_rescale_q) \
  X(av_seek_frame) X(av_strerror) X(avcodec_alloc_context3) X(avcodec_flush_buffers) X(avcodec_free_context)  \
  X(avcodec_open2) X(avcodec_parameters_to_context) X(avcodec_receive_frame) X(avcodec_send_packet)           \
  X(avformat_close_input) X(avformat_find_stream_info) X(avformat_open_input) X(swr_alloc_set_opts2)          \
  X(swr_convert) X(swr_free) X(swr_get_out_samples) X(swr_init)

struct Ffmpeg {
  TARNOVOX_FFMPEG_FUNCTIONS(TARNOVOX_LOADED_FIELD)
  bool loaded = false;
};

#define TARNOVOX_SONAME(lib, major) "lib" #lib ".so." TARNOVOX_SONAME_MAJOR(major)
#define TARNOVOX_SONAME_MAJOR(major) #major

std::atomic<bool> ffmpegTried{false};

// Loaded once for the process and never unloaded; `loaded` stays false when a
// library or a function is missing.
const Ffmpeg& LoadFfmpeg() {
  static const Ffmpeg api = [] {
    ffmpegTried = true;
    Ffmpeg result;
    // Each needs the ones before it; RTLD_GLOBAL lets the later ones find them.
    void* libraries[] = {
        ::dlopen(TARNOVOX_SONAME(avutil, LIBAVUTIL_VERSION_MAJOR), RTLD_NOW | RTLD_GLOBAL),
        ::dlopen(TARNOVOX_SONAME(swresample, LIBSWRESAMPLE_VERSION_MAJOR), RTLD_NOW | RTLD_GLOBAL),
        ::dlopen(TARNOVOX_SONAME(avcodec, LIBAVCODEC_VERSION_MAJOR), RTLD_NOW | RTLD_GLOBAL),
        ::dlopen(TARNOVOX_SONAME(avformat, LIBAVFORMAT_VERSION_MAJOR), RTLD_NOW | RTLD_GLOBAL)};
    for (void* library : libraries) {
      if (library == nullptr) return result;
    }
    bool complete = true;
#define TARNOVOX_FFMPEG_RESOLVE(name)                                                   \
  result.name = reinterpret_cast<decltype(result.name)>(::dlsym(RTLD_DEFAULT, #name)); \
  complete = complete && result.name != nullptr;
    TARNOVOX_FFMPEG_FUNCTIONS(TARNOVOX_FFMPEG_RESOLVE)
#undef TARNOVOX_FFMPEG_RESOLVE
    result.loaded = complete;
    return result;
  }();
  return api;
}

// From here on the FFmpeg calls go through the table.
#define TARNOVOX_FFMPEG_CALL(name) TARNOVOX_LOADED_CALL(Ffmpeg, LoadFfmpeg, name)
TARNOVOX_FFMPEG_FUNCTIONS(TARNOVOX_FFMPEG_CALL)
#undef TARNOVOX_FFMPEG_CALL

// A damaged file may yield a run of undecodable packets; past this many in a
// row it counts as ended rather than spinning through garbage.
constexpr int kMaxConsecutiveErrors = 64;
constexpr char kNoSound[] = "No sound can be decoded from it";

}  // namespace

AudioFileDecoder::AudioFileDecoder() = default;

AudioFileDecoder::~AudioFileDecoder() { Release(); }

void AudioFileDecoder::Release() {
  // Nothing was made before the libraries were loaded, and a decoder that
  // never opened a file must not load them on its way out.
  if (!ffmpegTried.load() || !LoadFfmpeg().loaded) return;
  swr_free(&resampler_);
  av_channel_layout_uninit(&resamplerInput_.layout);
  avcodec_free_context(&codec_);
  avformat_close_input(&format_);
  av_packet_free(&packet_);
  av_frame_free(&frame_);
}

bool AudioFileDecoder::Open(const std::string& path) {
  // Why a file cannot be played is told once, by the caller; the libraries'
  // own complaints about it would only clutter the terminal.
  failure_.clear();
  if (!LoadFfmpeg().loaded) {
    failure_ = "The FFmpeg libraries can not be loaded";
    return false;
  }
  static std::once_flag quiet;
  std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });
  if (OpenFile(path)) return true;
  if (failure_.empty()) failure_ = kNoSound;
  Release();
  return false;
}

// A ".flac" must hold FLAC and a ".opus" Opus; other names are played as
// whatever the file holds, as they always were.
static bool CodecAsNamed(const std::string& path, AVCodecID codec) {
  std::string extension = path.substr(std::min(path.size(), path.rfind('.')));
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == ".flac") return codec == AV_CODEC_ID_FLAC;
  if (extension == ".opus") return codec == AV_CODEC_ID_OPUS;
  return true;
}

bool AudioFileDecoder::OpenFile(const std::string& path) {
  Release();
  packet_ = av_packet_alloc();
  frame_ = av_frame_alloc();
  if (packet_ == nullptr || frame_ == nullptr) return false;
  {
    // The libraries open by name and would wait forever on a FIFO: the file
    // is checked through a descriptor of our own and opened again through it,
    // so what they read is the very regular file that was checked.
    const RegularFile file(path);
    if (!file.IsOpen()) {
      failure_ = std::strerror(errno);
      return false;
    }
    static const bool viaDescriptor = ::access("/proc/self/fd", X_OK) == 0;
    const std::string checked = viaDescriptor ? "file:/proc/self/fd/" + std::to_string(file.Fd()) : "file:" + path;
    if (const int result = avformat_open_input(&format_, checked.c_str(), nullptr, nullptr); result < 0) {
      char text[AV_ERROR_MAX_STRING_SIZE] = {};
      av_strerror(result, text, sizeof text);
      failure_ = text;
      return false;
    }
  }
  if (avformat_find_stream_info(format_, nullptr) < 0 || !OpenCodec()) return false;
  if (!CodecAsNamed(path, codec_->codec_id)) {
    failure_ = "The file's sound is not what its extension says.";
    return false;
  }

  const AVStream* stream = format_->streams[stream_];
  int64_t lengthUs = format_->duration;
  if (lengthUs == AV_NOPTS_VALUE && stream->duration != AV_NOPTS_VALUE)
    lengthUs = av_rescale_q(stream->duration, stream->time_base, AV_TIME_BASE_Q);
  length_ = std::chrono::milliseconds(lengthUs > 0 ? std::min<int64_t>((lengthUs + 500) / 1000, UINT32_MAX) : 0);

  inputEnded_ = false;
  skipUntilSample_ = 0;
  nextSampleKnown_ = false;
  pending_.clear();
  while (pending_.empty()) {
    if (!ReceiveFrame()) return false;
    // The sound plays in the format it begins with.
    if (resampler_ == nullptr) {
      if (frame_->sample_rate <= 0) return false;
      sampleRate_ = static_cast<uint32_t>(frame_->sample_rate);
      channels_ = frame_->ch_layout.nb_channels == 1 ? 1 : 2;
    }
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
  // The stream's parameters of an MPEG audio file are those of the frames the
  // probe saw last, which in files glued together are not those of the start;
  // each MPEG frame header tells its own format, so the decoder goes by those.
  const AVCodecID id = codec_->codec_id;
  if (id == AV_CODEC_ID_MP1 || id == AV_CODEC_ID_MP2 || id == AV_CODEC_ID_MP3) {
    codec_->sample_rate = 0;
    av_channel_layout_uninit(&codec_->ch_layout);
  }
  if (avcodec_open2(codec_, decoder, nullptr) < 0) return false;
  sampleRate_ = static_cast<uint32_t>(std::max(codec_->sample_rate, 0));
  channels_ = codec_->ch_layout.nb_channels == 1 ? 1 : 2;
  return true;
}

bool AudioFileDecoder::SeekTo(std::chrono::milliseconds to) {
  if (format_ == nullptr) return false;
  const AVStream* stream = format_->streams[stream_];
  const int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
  const int64_t target = static_cast<int64_t>(to.count()) * sampleRate_ / 1000;
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
  // Files glued together (`cat a.mp3 b.mp3`) change layout, rate or sample
  // format between frames: each frame goes through a converter made for it.
  if (resampler_ == nullptr || !SameFormat(frame_, resamplerInput_)) {
    if (resampler_ != nullptr) Flush(out);
    if (!MakeResampler()) return false;
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

bool AudioFileDecoder::SameFormat(const AVFrame* frame, const InputFormat& format) {
  return frame->format == format.sampleFormat && frame->sample_rate == format.sampleRate &&
         frame->ch_layout.nb_channels == format.channels &&
         (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC ||
          av_channel_layout_compare(&frame->ch_layout, &format.layout) == 0);
}

bool AudioFileDecoder::MakeResampler() {
  swr_free(&resampler_);
  av_channel_layout_uninit(&resamplerInput_.layout);
  if (frame_->ch_layout.nb_channels <= 0 || frame_->sample_rate <= 0) return false;
  if (frame_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
    av_channel_layout_default(&resamplerInput_.layout, frame_->ch_layout.nb_channels);
  else if (av_channel_layout_copy(&resamplerInput_.layout, &frame_->ch_layout) < 0)
    return false;
  resamplerInput_.sampleFormat = frame_->format;
  resamplerInput_.sampleRate = frame_->sample_rate;
  resamplerInput_.channels = frame_->ch_layout.nb_channels;
  AVChannelLayout outLayout{};
  av_channel_layout_default(&outLayout, channels_);
  const int result = swr_alloc_set_opts2(&resampler_, &outLayout, AV_SAMPLE_FMT_S16, sampleRate_,
                                         &resamplerInput_.layout, static_cast<AVSampleFormat>(frame_->format),
                                         frame_->sample_rate, 0, nullptr);
  av_channel_layout_uninit(&outLayout);
  return result >= 0 && swr_init(resampler_) >= 0;
}

void AudioFileDecoder::Flush(std::vector<int16_t>& out) {
  // What a rate conversion still holds belongs before the next frame's sound.
  const int capacity = swr_get_out_samples(resampler_, 0);
  if (capacity <= 0) return;
  std::vector<int16_t> rest(static_cast<size_t>(capacity) * channels_);
  uint8_t* target = reinterpret_cast<uint8_t*>(rest.data());
  const int produced = swr_convert(resampler_, &target, capacity, nullptr, 0);
  if (produced > 0) out.insert(out.end(), rest.begin(), rest.begin() + int64_t{produced} * channels_);
}

}  // namespace tarnovox
