#include "tests/support/mp3_probe.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>
#include <sstream>

#include "tests/support/sound_check.h"

namespace tarnovox::testing {

DecodedMp3 DecodeMp3(const std::string& path) {
  DecodedMp3 out;
  std::istringstream info(Probe("stream=codec_name,sample_rate,channels", path));
  char comma = 0;
  std::getline(info, out.codec, ',');
  info >> out.sampleRate >> comma >> out.channels;
  const std::string raw = RunCommand("ffmpeg -nostdin -v error -i '" + path + "' -f f32le -");
  std::vector<float> pcm(raw.size() / sizeof(float));
  if (!pcm.empty()) std::memcpy(pcm.data(), raw.data(), pcm.size() * sizeof(float));
  for (size_t i = 0; out.channels > 0 && i + out.channels <= pcm.size(); i += out.channels) {
    out.left.push_back(pcm[i]);
    if (out.channels > 1) out.right.push_back(pcm[i + 1]);
  }
  out.ok = !out.left.empty();
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
    pos += static_cast<size_t>(length);
    f.end = pos;
    frames.push_back(f);
  }
  return frames;
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
