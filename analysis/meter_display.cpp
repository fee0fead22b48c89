#include "analysis/meter_display.h"

#include "analysis/gdi_canvas.h"
#include "analysis/level_painter.h"
#include "analysis/spectrum_painter.h"
#include "analysis/waveform_painter.h"

namespace tarnovox {

namespace {

void SizeBitmap(QImage& bitmap, const MeterRect& rect) {
  if (bitmap.width() == rect.BitmapWidth() && bitmap.height() == rect.BitmapHeight()) return;
  bitmap = QImage(rect.BitmapWidth(), rect.BitmapHeight(), QImage::Format_RGB32);
  bitmap.fill(QColor::fromRgb(0xFF000000u | kMeterBackground));
}

void Clear(QImage& bitmap) {
  GdiCanvas canvas(bitmap);
  canvas.SetPen(kMeterBackground);
  canvas.SetBrush(kMeterBackground);
  canvas.Rectangle(0, 0, bitmap.width(), bitmap.height());
}

}  // namespace

MeterDisplay::MeterDisplay() { SetMeterGeometry(); }

void MeterDisplay::SetMeterGeometry() {
  Geometry = MeterGeometry::Standard();
  SizeBitmap(ScopeBitmap, Geometry.ScopeRect);
  SizeBitmap(SpectrumBitmap, Geometry.SpectrumRect);
  SizeBitmap(LevelBitmap, Geometry.LevelRect);
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
