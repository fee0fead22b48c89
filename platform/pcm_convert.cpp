#include "platform/pcm_convert.h"

#include <cstring>

namespace tarnovox {
namespace {

// Unsigned 8-bit around 128 from a signed 16-bit sample.
uint8_t To8Bit(int sample) { return static_cast<uint8_t>((sample >> 8) + 128); }

}  // namespace

bool NeedsConversion(const PcmFormat& format) { return format.channels != 2 || format.bitsPerSample != 16; }

size_t ConvertFromStereo16(const int16_t* in, size_t frames, const PcmFormat& format, uint8_t* out) {
  const bool mono = format.channels == 1;
  const bool eight = format.bitsPerSample == 8;
  uint8_t* start = out;
  for (size_t i = 0; i < frames; ++i) {
    const int left = in[2 * i], right = in[2 * i + 1];
    // The mean of two 16-bit samples always fits: nothing clips that did not at the input.
    const int samples[2] = {mono ? (left + right) / 2 : left, right};
    for (int c = 0; c < (mono ? 1 : 2); ++c) {
      if (eight) {
        *out++ = To8Bit(samples[c]);
      } else {
        const int16_t value = static_cast<int16_t>(samples[c]);
        std::memcpy(out, &value, 2);
        out += 2;
      }
    }
  }
  return static_cast<size_t>(out - start);
}

}  // namespace tarnovox
