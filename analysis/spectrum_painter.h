#pragma once
// The 32-band spectrum display, drawn into SpectrumBitmap.
#include <QImage>

#include "analysis/meter_frame.h"
#include "analysis/meter_geometry.h"

namespace tarnovox {

// Left bars standing on the half line, right bars on the bottom row, grid,
// labels and separator. Tall bars are not limited to their half.
void DrawStereoSpectrum(QImage& bitmap, const MeterGeometry& geometry, const MeterFrame& frame);
// Left bars on the half line and the grid; the lower half stays empty.
void DrawMonoSpectrum(QImage& bitmap, const MeterGeometry& geometry, const MeterFrame& frame);

}  // namespace tarnovox
