#pragma once
// The segmented peak level meter with its clip lamps, drawn into LevelBitmap.
#include <QImage>

#include "analysis/meter_frame.h"
#include "analysis/meter_geometry.h"

namespace tarnovox {

// Left bar on rows 1-10, right bar on rows 14-23, labels, and a lamp per
// channel at the right end while its clip-hold counter runs.
void DrawStereoLevels(QImage& bitmap, const MeterGeometry& geometry, const MeterFrame& frame);
// One bar on rows 8-17 from the left channel, and its lamp; no labels.
void DrawMonoLevels(QImage& bitmap, const MeterGeometry& geometry, const MeterFrame& frame);

}  // namespace tarnovox
