#include "analysis/spectrum_painter.h"

#include <array>
#include <cmath>

#include "analysis/gdi_canvas.h"
#include "analysis/meter_grid.h"

namespace tarnovox {

namespace {

// Bars 4 pixels wide with a 1-pixel gap from x = 20; band 32 is partly cut off
// by the bitmap's right edge. A black outline, the band's colour inside.
void DrawBars(GdiCanvas& canvas, const std::array<float, SpectrumBands::kBandCount + 1>& bands,
              int base, float scale) {
  canvas.SetPen(kBarOutline);
  for (int b = 1; b <= SpectrumBands::kBandCount; ++b) {
    canvas.SetBrush(BandColour(b));
    const int height = static_cast<int>(std::nearbyint(static_cast<double>(scale) * bands[b]));
    canvas.Rectangle(5 * b + 15, base, 5 * b + 19, base - height);
  }
}

}  // namespace

void DrawStereoSpectrum(QImage& bitmap, const MeterGeometry& geometry, const MeterFrame& frame) {
  const int w = geometry.SpectrumRect.Width();
  const int h = geometry.SpectrumRect.Height();
  const int half = geometry.SpectrumHalf;
  GdiCanvas canvas(bitmap);
  DrawBars(canvas, frame.Bands.BandLeft, half, frame.Scales.SpectrumScale);
  DrawBars(canvas, frame.Bands.BandRight, h, frame.Scales.SpectrumScale);
  DrawMeterGrid(canvas, w, h);
  canvas.SetPen(kMeterSilver);
  canvas.TextOut(2, 0, QStringLiteral("L"));
  canvas.TextOut(2, h - 12, QStringLiteral("R"));
  canvas.Line(1, half, w, half);
}

void DrawMonoSpectrum(QImage& bitmap, const MeterGeometry& geometry, const MeterFrame& frame) {
  GdiCanvas canvas(bitmap);
  DrawBars(canvas, frame.Bands.BandLeft, geometry.SpectrumHalf, frame.Scales.SpectrumScale);
  DrawMeterGrid(canvas, geometry.SpectrumRect.Width(), geometry.SpectrumRect.Height());
}

}  // namespace tarnovox
