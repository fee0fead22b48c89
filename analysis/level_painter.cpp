#include "analysis/level_painter.h"

#include <cmath>

#include "analysis/gdi_canvas.h"

namespace tarnovox {

namespace {

constexpr int kMaxBarLength = 368;

int RoundToInt(double value) { return static_cast<int>(std::nearbyint(value)); }

// Columns 1 to n of rows top..bottom-1; the colour runs with the column, so a
// long bar ends in orange however it got there. The bar is an area, not lines:
// on a scaled screen each column fills all of its pixels.
void DrawBar(GdiCanvas& canvas, int16_t peak, float meterScale, int top, int bottom) {
  int n = RoundToInt(static_cast<double>(peak) * meterScale);
  if (n > kMaxBarLength) n = kMaxBarLength;
  for (int x = 1; x <= n; ++x) {
    canvas.SetPen(LevelColour(RoundToInt(370.0 * x / 360.0)));
    canvas.Column(x, top, bottom);
  }
}

// Every sixth column is blanked, cutting the bars into segments of 5 pixels
// (of 5 window pixels on a scaled screen too).
void DrawSegmentGaps(GdiCanvas& canvas, int w, int top, int bottom) {
  canvas.SetPen(kMeterBackground);
  const int segments = RoundToInt(w / 6.0);
  for (int j = 1; j <= segments; ++j) canvas.Column(6 * j, top, bottom);
}

// The lamp's rectangle reaches past the bitmap; only its left part shows, at
// the end of the bar. It dims by 2 per buffer as its counter runs down.
void DrawLamp(GdiCanvas& canvas, int32_t hold, int top, int bottom) {
  if (hold <= 0) return;
  canvas.SetPen(kMeterBackground);
  canvas.SetBrush(ClipLampColour(hold));
  canvas.Rectangle(365, top, 384, bottom);
}

}  // namespace

void DrawStereoLevels(QImage& bitmap, const MeterGeometry& geometry, const MeterFrame& frame) {
  const int w = geometry.LevelRect.Width();
  GdiCanvas canvas(bitmap);
  DrawBar(canvas, frame.Peaks.PeakLeft, frame.Scales.MeterScale, 1, 11);
  DrawBar(canvas, frame.Peaks.PeakRight, frame.Scales.MeterScale, 14, 24);
  DrawSegmentGaps(canvas, w, 1, 11);
  DrawSegmentGaps(canvas, w, 14, 24);
  canvas.SetPen(kMeterSilver);
  canvas.TextOut(3, 0, QStringLiteral("L"));
  canvas.TextOut(3, 13, QStringLiteral("R"));
  DrawLamp(canvas, frame.Peaks.ClipHoldLeft, 1, 11);
  DrawLamp(canvas, frame.Peaks.ClipHoldRight, 14, 24);
}

void DrawMonoLevels(QImage& bitmap, const MeterGeometry& geometry, const MeterFrame& frame) {
  GdiCanvas canvas(bitmap);
  DrawBar(canvas, frame.Peaks.PeakLeft, frame.Scales.MeterScale, 8, 18);
  DrawSegmentGaps(canvas, geometry.LevelRect.Width(), 8, 18);
  DrawLamp(canvas, frame.Peaks.ClipHoldLeft, 7, 19);
}

}  // namespace tarnovox
