#include "analysis/meter_grid.h"

namespace tarnovox {

void DrawMeterGrid(GdiCanvas& canvas, int w, int h) {
  canvas.SetPen(kMeterSilver, GdiCanvas::PenStyle::Dot);
  for (int k = 1; k <= 7; ++k) {
    const int y = h * k / 8;
    canvas.Line(1, y, w, y);
  }
  for (int k = 1; k <= 9; ++k) {
    const int x = w * k / 10;
    canvas.Line(x, 1, x, h - 1);
  }
}

}  // namespace tarnovox
