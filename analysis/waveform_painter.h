#pragma once
// The waveform display of the last buffer, drawn into ScopeBitmap.
#include <QImage>
#include <cstdint>

#include "analysis/meter_frame.h"
#include "analysis/meter_geometry.h"

namespace tarnovox {

struct WaveformDecimation {
  int points = 0;  // points drawn: frames 0, stride, 2 stride, ...
  int stride = 0;
};

// While recording the stride follows the buffer size (1102, 2205 and 4410
// frames give 157 x 7, 157 x 14 and 152 x 29); otherwise 152 x 29.
WaveformDecimation DecimationFor(uint16_t framesPerBuffer, bool recording);

// Left trace around the quarter line, right trace around the three-quarter
// line, grid, separator and the channel labels.
void DrawStereoWaveform(QImage& bitmap, const MeterGeometry& geometry, const MeterFrame& frame);
// The left trace alone around the half line, and the grid.
void DrawMonoWaveform(QImage& bitmap, const MeterGeometry& geometry, const MeterFrame& frame);

}  // namespace tarnovox
