#include "analysis/sample_split.h"

namespace tarnovox {

namespace {

int16_t Read16(const uint8_t* p) {
  return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

// The 8-bit offset is 127, not 128, so the byte 255 reaches 128 and can light
// the clip lamp while the byte 0 (-127) cannot.
int16_t Read8(const uint8_t* p) { return static_cast<int16_t>(p[0] - 127); }

}  // namespace

FrameLayout LayoutOf(uint16_t bitsPerSample, uint16_t channels) {
  if (bitsPerSample == 8) return channels == 1 ? FrameLayout::Mono8 : FrameLayout::Stereo8;
  return channels == 1 ? FrameLayout::Mono16 : FrameLayout::Stereo16;
}

bool IsEightBit(FrameLayout layout) {
  return layout == FrameLayout::Stereo8 || layout == FrameLayout::Mono8;
}

size_t BytesReadPerFrame(FrameLayout layout) {
  switch (layout) {
    case FrameLayout::Stereo16: return 4;
    case FrameLayout::Mono16: return 2;
    case FrameLayout::Stereo8: return 2;
    case FrameLayout::Mono8: return 1;
  }
  return 4;
}

void SplitFrames(const uint8_t* buffer, uint16_t blockAlign, size_t frames, FrameLayout layout,
                 int16_t* left, int16_t* right) {
  const uint8_t* frame = buffer;
  for (size_t i = 0; i < frames; ++i, frame += blockAlign) {
    switch (layout) {
      case FrameLayout::Stereo16:
        left[i] = Read16(frame);
        right[i] = Read16(frame + 2);
        break;
      case FrameLayout::Mono16:
        left[i] = right[i] = Read16(frame);
        break;
      case FrameLayout::Stereo8:
        left[i] = Read8(frame);
        right[i] = Read8(frame + 1);
        break;
      case FrameLayout::Mono8:
        left[i] = right[i] = Read8(frame);
        break;
    }
  }
}

}  // namespace tarnovox
