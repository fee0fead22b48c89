#include "analysis/waveform_painter.h"

#include <cmath>

#include "analysis/gdi_canvas.h"
#include "analysis/meter_grid.h"

namespace tarnovox {

namespace {

int RoundToInt(double value) { return static_cast<int>(std::nearbyint(value)); }

// One trace around `centre`. Points that would lie above the bitmap are raised
// to row 1; below the bitmap the line simply clips. The pen starts at the
// unraised first point, as the trace always has.
void DrawTrace(GdiCanvas& canvas, const int16_t* samples, const MeterFrame& frame, int centre,
               Rgb colour) {
  WaveformDecimation d = DecimationFor(frame.FramesPerBuffer, frame.Recording);
  const size_t available = frame.FramesPerBuffer < frame.SampleCount ? frame.FramesPerBuffer
                                                                     : frame.SampleCount;
  if (available == 0) return;
  const int reachable = static_cast<int>((available - 1) / d.stride) + 1;
  if (d.points > reachable) d.points = reachable;
  const double scale = frame.Scales.ScopeScale;
  const double step = frame.Scales.ScopeStep;
  canvas.SetPen(colour);
  canvas.MoveTo(0, centre - RoundToInt(samples[0] * scale));
  for (int i = 0; i < d.points; ++i) {
    int y = centre - RoundToInt(samples[i * d.stride] * scale);
    if (y < 1) y = 1;
    canvas.LineTo(RoundToInt(i * step * d.stride), y);
  }
}

}  // namespace

WaveformDecimation DecimationFor(uint16_t framesPerBuffer, bool recording) {
  if (recording && framesPerBuffer == 1102) return {157, 7};
  if (recording && framesPerBuffer == 2205) return {157, 14};
  return {152, 29};
}

void DrawStereoWaveform(QImage& bitmap, const MeterGeometry& geometry, const MeterFrame& frame) {
  const int w = geometry.ScopeRect.Width();
  const int h = geometry.ScopeRect.Height();
  GdiCanvas canvas(bitmap);
  DrawTrace(canvas, frame.LeftSamples, frame, geometry.ScopeQuarter, kLeftTraceColour);
  DrawTrace(canvas, frame.RightSamples, frame, geometry.ScopeThreeQuarter, kRightTraceColour);
  DrawMeterGrid(canvas, w, h);
  canvas.SetPen(kMeterSilver);
  canvas.Line(1, geometry.ScopeHalf, w, geometry.ScopeHalf);
  canvas.TextOut(2, 0, QStringLiteral("L"));
  canvas.TextOut(2, h - 12, QStringLiteral("R"));
}

void DrawMonoWaveform(QImage& bitmap, const MeterGeometry& geometry, const MeterFrame& frame) {
  GdiCanvas canvas(bitmap);
  DrawTrace(canvas, frame.LeftSamples, frame, geometry.ScopeHalf, kLeftTraceColour);
  DrawMeterGrid(canvas, geometry.ScopeRect.Width(), geometry.ScopeRect.Height());
}

}  // namespace tarnovox
