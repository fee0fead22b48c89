#pragma once
// The three display bitmaps (waveform, spectrum, level meter) and their
// placement on the main window's canvas.
#include <QImage>

#include "analysis/meter_canvas.h"
#include "analysis/meter_frame.h"
#include "analysis/meter_geometry.h"

namespace tarnovox {

class MeterDisplay {
 public:
  MeterDisplay();

  // Sets the rectangles and derived lines and sizes the bitmaps (171 x 116,
  // 177 x 118, 371 x 24 window pixels, times the device pixel ratio of the
  // screen they are shown on); bitmaps already of that size are kept.
  void SetMeterGeometry(double devicePixelRatio = 1.0);
  // Fills each bitmap completely with the background colour.
  void ClearMeterBitmaps();
  // Draw the two-channel or one-channel layout into the bitmaps, then copy
  // them to the canvas (when there is one) at the rectangles' top-left corners.
  void DrawStereo(const MeterFrame& frame, MeterCanvas* canvas);
  void DrawMono(const MeterFrame& frame, MeterCanvas* canvas);

  MeterGeometry Geometry;
  QImage ScopeBitmap;
  QImage SpectrumBitmap;
  QImage LevelBitmap;

 private:
  void CopyToCanvas(MeterCanvas* canvas) const;
};

}  // namespace tarnovox
