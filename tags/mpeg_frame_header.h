#pragma once
// The rate and channel count an MP3 file's first MPEG audio frame header gives.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace tarnovox {

struct MpegFrameFormat {
  uint32_t SampleRate = 0;  // Hz; 0 for the reserved rate index
  uint16_t Channels = 2;    // 1 for mono, 2 for stereo, joint stereo and dual channel
};

// The first position p, up to 3100, where byte p is 0xFF and byte p+1 is 0xE0
// or more, with the whole 4-byte header inside the `size` bytes given. Data in
// front of the first frame (another tag, for example) is not skipped as such.
std::optional<size_t> FindFrameSync(const uint8_t* head, size_t size);

// Decodes the three bytes after the sync byte. The layer bits are not looked
// at; the version only divides the rate (MPEG-2 by 2, MPEG-2.5 by 4).
MpegFrameFormat ReadFrameFormat(uint8_t b1, uint8_t b2, uint8_t b3);

}  // namespace tarnovox
