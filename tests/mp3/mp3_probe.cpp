#include "tests/mp3/mp3_probe.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>

namespace tarnovox::testing {
namespace {

void AppendFrame(const AVFrame* frame, DecodedMp3& out) {
  auto sample = [&](int channel, int i) -> float {
    switch (frame->format) {
      case AV_SAMPLE_FMT_FLTP: return reinterpret_cast<const float*>(frame->extended_data[channel])[i];
      case AV_SAMPLE_FMT_S16P: return reinterpret_cast<const int16_t*>(frame->extended_data[channel])[i] / 32768.0f;
      case AV_SAMPLE_FMT_S16:
        return reinterpret_cast<const int16_t*>(frame->data[0])[i * out.channels + channel] / 32768.0f;
      default: return reinterpret_cast<const float*>(frame->data[0])[i * out.channels + channel];
    }
  };
  for (int i = 0; i < frame->nb_samples; ++i) {
    out.left.push_back(sample(0, i));
    if (out.channels > 1) out.right.push_back(sample(1, i));
  }
}

void DecodeAll(AVFormatContext* format, AVCodecContext* codec, int streamIndex, DecodedMp3& out) {
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto drain = [&] {
    while (avcodec_receive_frame(codec, frame) == 0) AppendFrame(frame, out);
  };
  while (av_read_frame(format, packet) >= 0) {
    if (packet->stream_index == streamIndex && avcodec_send_packet(codec, packet) == 0) drain();
    av_packet_unref(packet);
  }
  avcodec_send_packet(codec, nullptr);
  drain();
  av_frame_free(&frame);
  av_packet_free(&packet);
}

}  // namespace

DecodedMp3 DecodeMp3(const std::string& path) {
  av_log_set_level(AV_LOG_ERROR);  // files without a VBR header make FFmpeg guess the duration
  DecodedMp3 out;
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) != 0) return out;
  if (avformat_find_stream_info(format, nullptr) >= 0) {
    const AVCodec* decoder = nullptr;
    int index = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (index >= 0 && decoder) {
      AVCodecContext* codec = avcodec_alloc_context3(decoder);
      avcodec_parameters_to_context(codec, format->streams[index]->codecpar);
      codec->pkt_timebase = format->streams[index]->time_base;
      if (avcodec_open2(codec, decoder, nullptr) == 0) {
        out.codec = decoder->name;
        out.sampleRate = codec->sample_rate;
        out.channels = codec->ch_layout.nb_channels;
        DecodeAll(format, codec, index, out);
        out.ok = true;
      }
      avcodec_free_context(&codec);
    }
  }
  avformat_close_input(&format);
  return out;
}

std::vector<Mp3FrameHeader> ReadFrameHeaders(const std::string& path) {
  static const int kBitRates[2][16] = {
      {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},  // MPEG-1 layer III
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}};     // MPEG-2/2.5 layer III
  static const int kRates[3] = {44100, 48000, 32000};
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<Mp3FrameHeader> frames;
  size_t pos = 0;
  while (pos + 4 <= bytes.size() && !(bytes[pos] == 0xFF && (bytes[pos + 1] & 0xE0) == 0xE0)) ++pos;
  while (pos + 4 <= bytes.size() && bytes[pos] == 0xFF && (bytes[pos + 1] & 0xE0) == 0xE0) {
    const uint8_t* h = &bytes[pos];
    const int versionBits = (h[1] >> 3) & 3;
    const int bitrateIndex = h[2] >> 4;
    const int rateIndex = (h[2] >> 2) & 3;
    if (versionBits == 1 || ((h[1] >> 1) & 3) != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) break;
    Mp3FrameHeader f;
    f.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    f.bitRate = kBitRates[f.version == 1 ? 0 : 1][bitrateIndex];
    f.sampleRate = kRates[rateIndex] / (f.version == 1 ? 1 : f.version == 2 ? 2 : 4);
    f.crc = (h[1] & 1) == 0;
    f.privateBit = h[2] & 1;
    f.mode = h[3] >> 6;
    f.copyright = (h[3] >> 3) & 1;
    f.original = (h[3] >> 2) & 1;
    const int padding = (h[2] >> 1) & 1;
    const int length = (f.version == 1 ? 144 : 72) * f.bitRate * 1000 / f.sampleRate + padding;
    frames.push_back(f);
    pos += static_cast<size_t>(length);
  }
  return frames;
}

double ToneFrequency(const std::vector<float>& samples, int sampleRate) {
  if (samples.size() < 4 || sampleRate == 0) return 0;
  const size_t begin = samples.size() / 4;
  const size_t end = samples.size() * 3 / 4;
  int crossings = 0;
  for (size_t i = begin + 1; i < end; ++i) crossings += (samples[i - 1] < 0) != (samples[i] < 0);
  return crossings / 2.0 / (static_cast<double>(end - begin) / sampleRate);
}

std::vector<int16_t> Tone(double frequency, int sampleRate, int channels, double seconds, double amplitude) {
  const size_t frames = static_cast<size_t>(seconds * sampleRate);
  std::vector<int16_t> pcm(frames * channels);
  for (size_t i = 0; i < frames; ++i) {
    const double v = amplitude * 32767 * std::sin(2 * std::numbers::pi * frequency * i / sampleRate);
    for (int c = 0; c < channels; ++c) pcm[i * channels + c] = static_cast<int16_t>(std::lround(v));
  }
  return pcm;
}

}  // namespace tarnovox::testing
