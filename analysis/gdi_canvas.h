#pragma once
// Drawing on a QImage with the conventions every meter coordinate relies on:
// a line from A to B leaves out B, a rectangle from (x1, y1) to (x2, y2) covers
// x1..x2-1 and y1..y2-1 with its one-pixel outline inside, and a dotted pen
// leaves its gaps transparent. Everything outside the image is clipped.
//
// Coordinates are the window's. On an image with a device pixel ratio above 1
// (a screen scaled above 100 %) they are multiplied by it, while lines and
// outlines stay one pixel of the image wide, so they are as sharp as at 100 %;
// at ratio 1 every pixel is the same as ever.
#include <QImage>
#include <QString>
#include <cmath>

#include "analysis/meter_colours.h"

namespace tarnovox {

class GdiCanvas {
 public:
  enum class PenStyle { Solid, Dot };

  // The image must be in QImage::Format_RGB32 and outlive the canvas.
  explicit GdiCanvas(QImage& image);

  void SetPen(Rgb colour, PenStyle style = PenStyle::Solid);
  void SetBrush(Rgb colour) { brush_ = colour; }
  void MoveTo(int x, int y);
  // Draws from the current position up to, not including, (x, y), which then
  // becomes the current position.
  void LineTo(int x, int y);
  void Line(int x1, int y1, int x2, int y2) {
    MoveTo(x1, y1);
    LineTo(x2, y2);
  }
  // Corners may be given in any order; an empty rectangle draws nothing.
  void Rectangle(int x1, int y1, int x2, int y2);
  // Rows top..bottom-1 of column x in the pen's colour, filling every image
  // pixel of the column (at ratio 1 the same as Line(x, top, x, bottom)).
  void Column(int x, int top, int bottom);
  // Text in the pen's colour with a transparent background; (x, y) is the top
  // left of the text cell. Needs a QGuiApplication (fonts); without one it
  // draws nothing.
  void TextOut(int x, int y, const QString& text);

 private:
  void Plot(int x, int y, Rgb colour) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
      reinterpret_cast<uint32_t*>(bits_ + y * bytesPerLine_)[x] = 0xFF000000u | colour;
    }
  }
  void FillSpan(int x1, int x2, int y, Rgb colour);
  // A window coordinate in image pixels.
  int Scaled(int v) const { return ratio_ == 1.0 ? v : static_cast<int>(std::lround(v * ratio_)); }

  QImage& image_;
  uchar* bits_;
  qsizetype bytesPerLine_;
  int width_;
  int height_;
  double ratio_;
  int dotOn_;
  int dotPeriod_;
  Rgb pen_ = 0;
  PenStyle penStyle_ = PenStyle::Solid;
  Rgb brush_ = 0xFFFFFF;
  int x_ = 0;
  int y_ = 0;
};

}  // namespace tarnovox
