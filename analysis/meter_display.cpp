#include "analysis/meter_display.h"

#include <cmath>

#include "analysis/gdi_canvas.h"
#include "analysis/level_painter.h"
#include "analysis/spectrum_painter.h"
#include "analysis/waveform_painter.h"

namespace tarnovox {

namespace {

int Scaled(int size, double ratio) { return static_cast<int>(std::lround(size * ratio)); }

void SizeBitmap(QImage& bitmap, const MeterRect& rect, double ratio) {
  const int width = Scaled(rect.BitmapWidth(), ratio);
  const int height = Scaled(rect.BitmapHeight(), ratio);
  if (bitmap.width() == width && bitmap.height() == height && bitmap.devicePixelRatio() == ratio) return;
  bitmap = QImage(width, height, QImage::Format_RGB32);
  bitmap.setDevicePixelRatio(ratio);
  bitmap.fill(QColor::fromRgb(0xFF000000u | kMeterBackground));
}

void Clear(QImage& bitmap) {
  bitmap.fill(QColor::fromRgb(0xFF000000u | kMeterBackground));
}

}  // namespace

MeterDisplay::MeterDisplay() { SetMeterGeometry(); }

void MeterDisplay::SetMeterGeometry(double devicePixelRatio) {
  Geometry = MeterGeometry::Standard();
  SizeBitmap(ScopeBitmap, Geometry.ScopeRect, devicePixelRatio);
  SizeBitmap(SpectrumBitmap, Geometry.SpectrumRect, devicePixelRatio);
  SizeBitmap(LevelBitmap, Geometry.LevelRect, devicePixelRatio);
}

void MeterDisplay::ClearMeterBitmaps() {
  Clear(ScopeBitmap);
  Clear(SpectrumBitmap);
  Clear(LevelBitmap);
}

void MeterDisplay::DrawStereo(const MeterFrame& frame, MeterCanvas* canvas) {
  DrawStereoWaveform(ScopeBitmap, Geometry, frame);
  DrawStereoSpectrum(SpectrumBitmap, Geometry, frame);
  DrawStereoLevels(LevelBitmap, Geometry, frame);
  CopyToCanvas(canvas);
}

void MeterDisplay::DrawMono(const MeterFrame& frame, MeterCanvas* canvas) {
  DrawMonoWaveform(ScopeBitmap, Geometry, frame);
  DrawMonoSpectrum(SpectrumBitmap, Geometry, frame);
  DrawMonoLevels(LevelBitmap, Geometry, frame);
  CopyToCanvas(canvas);
}

void MeterDisplay::CopyToCanvas(MeterCanvas* canvas) const {
  if (canvas == nullptr) return;
  canvas->CopyBitmap(Geometry.ScopeRect.left, Geometry.ScopeRect.top, ScopeBitmap);
  canvas->CopyBitmap(Geometry.SpectrumRect.left, Geometry.SpectrumRect.top, SpectrumBitmap);
  canvas->CopyBitmap(Geometry.LevelRect.left, Geometry.LevelRect.top, LevelBitmap);
}

}  // namespace tarnovox
