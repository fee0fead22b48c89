#pragma once
// Everything one redraw of the displays reads: the samples of the last
// analysed buffer and the results of its analysis.
#include <cstddef>
#include <cstdint>

#include "analysis/display_scales.h"
#include "analysis/peak_meter.h"
#include "analysis/spectrum_bands.h"

namespace tarnovox {

struct MeterFrame {
  const int16_t* LeftSamples = nullptr;
  const int16_t* RightSamples = nullptr;
  size_t SampleCount = 0;  // valid samples in each array
  uint16_t FramesPerBuffer = 0;
  bool Recording = false;  // chooses the waveform's decimation
  const DisplayScales& Scales;
  const PeakMeter& Peaks;
  const SpectrumBands& Bands;
};

}  // namespace tarnovox
