#pragma once
// Peak level of each channel of the last analysed buffer, with a clip-hold
// counter per channel that keeps its lamp lit for 30 buffers (about 3 s).
#include <cstddef>
#include <cstdint>

namespace tarnovox {

class PeakMeter {
 public:
  static constexpr int32_t kClipHoldBuffers = 30;

  // Recomputes both peaks from frames [0, frames) and counts the hold counters
  // down by one, restarting a channel's count at 30 when it clips. A 16-bit
  // clip is a peak of 32767 (-32768 counts as 32767). eightBitWavRecording adds
  // the 8-bit clip: a peak of 128, which only the byte 255 reaches.
  void MeasurePeaks(const int16_t* left, const int16_t* right, size_t frames,
                    bool eightBitWavRecording);

  int16_t PeakLeft = 0;
  int16_t PeakRight = 0;
  // Further buffers during which the channel's lamp stays lit; 0 when dark.
  // Never reset otherwise: a clip keeps counting across start and stop.
  int32_t ClipHoldLeft = 0;
  int32_t ClipHoldRight = 0;
};

}  // namespace tarnovox
