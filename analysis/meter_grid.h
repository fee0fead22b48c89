#pragma once
#include "analysis/gdi_canvas.h"

namespace tarnovox {

// The dotted silver grid of the waveform and spectrum displays: seven
// horizontal lines at h k div 8 and nine vertical ones at w k div 10, kept off
// the bitmap's outer rows and columns.
void DrawMeterGrid(GdiCanvas& canvas, int w, int h);

}  // namespace tarnovox
