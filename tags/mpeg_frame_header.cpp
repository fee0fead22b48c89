#include "tags/mpeg_frame_header.h"

#include <algorithm>

namespace tarnovox {

namespace {
constexpr size_t kLastSyncPosition = 3100;
constexpr uint32_t kRates[4] = {44100, 48000, 32000, 0};
}  // namespace

std::optional<size_t> FindFrameSync(const uint8_t* head, size_t size) {
  if (size < 4) return std::nullopt;
  const size_t last = std::min(kLastSyncPosition, size - 4);
  for (size_t p = 0; p <= last; ++p) {
    if (head[p] == 0xFF && head[p + 1] >= 0xE0) return p;
  }
  return std::nullopt;
}

MpegFrameFormat ReadFrameFormat(uint8_t b1, uint8_t b2, uint8_t b3) {
  uint32_t divisor = 1;
  switch ((b1 >> 3) & 0x03) {
    case 2: divisor = 2; break;  // MPEG-2
    case 0: divisor = 4; break;  // MPEG-2.5
    default: break;              // MPEG-1 and the reserved value
  }
  MpegFrameFormat format;
  format.SampleRate = kRates[(b2 >> 2) & 0x03] / divisor;
  format.Channels = (b3 >> 6) == 3 ? 1 : 2;
  return format;
}

}  // namespace tarnovox
