#include "analysis/peak_meter.h"

namespace tarnovox {

namespace {

int16_t PeakOf(const int16_t* samples, size_t frames) {
  int peak = 0;
  for (size_t i = 0; i < frames; ++i) {
    int a = samples[i] < 0 ? -samples[i] : samples[i];
    if (a > peak) peak = a;
  }
  return static_cast<int16_t>(peak > 32767 ? 32767 : peak);
}

void UpdateHold(int32_t& hold, int16_t peak, bool eightBitWavRecording) {
  if (hold > 0) --hold;
  if (peak >= 32767) hold = PeakMeter::kClipHoldBuffers;
  if (eightBitWavRecording && peak >= 128) hold = PeakMeter::kClipHoldBuffers;
}

}  // namespace

void PeakMeter::MeasurePeaks(const int16_t* left, const int16_t* right, size_t frames,
                             bool eightBitWavRecording) {
  PeakLeft = PeakOf(left, frames);
  PeakRight = PeakOf(right, frames);
  UpdateHold(ClipHoldLeft, PeakLeft, eightBitWavRecording);
  UpdateHold(ClipHoldRight, PeakRight, eightBitWavRecording);
}

}  // namespace tarnovox
