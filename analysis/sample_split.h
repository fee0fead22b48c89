#pragma once
// De-interleaving of one captured buffer into a left and a right channel of
// signed 16-bit samples.
#include <cstddef>
#include <cstdint>

namespace tarnovox {

enum class FrameLayout { Stereo16, Mono16, Stereo8, Mono8 };

// The layout of frames captured with the given sample size and channel count;
// anything that is not 8-bit mono, 8-bit stereo or 16-bit mono reads as 16-bit stereo.
FrameLayout LayoutOf(uint16_t bitsPerSample, uint16_t channels);

bool IsEightBit(FrameLayout layout);

// Bytes of a frame that the layout reads (a frame may hold more: blockAlign).
size_t BytesReadPerFrame(FrameLayout layout);

// Reads `frames` frames, `blockAlign` bytes apart, from `buffer` into left[0..frames-1]
// and right[0..frames-1]. 16-bit samples are little-endian signed; an 8-bit
// sample is its unsigned byte minus 127 (giving -127 to 128). Mono frames give
// both channels the same value.
void SplitFrames(const uint8_t* buffer, uint16_t blockAlign, size_t frames, FrameLayout layout,
                 int16_t* left, int16_t* right);

}  // namespace tarnovox
