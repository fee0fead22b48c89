#pragma once
// Where the displays' bitmaps go after each redraw: the main window's canvas.
#include <QImage>

namespace tarnovox {

class MeterCanvas {
 public:
  virtual ~MeterCanvas() = default;
  // Copies the whole bitmap with its top-left corner at (x, y) of the window's
  // client area.
  virtual void CopyBitmap(int x, int y, const QImage& bitmap) = 0;
  // Image pixels per window pixel: the bitmaps are drawn at this resolution.
  virtual double DevicePixelRatio() const { return 1.0; }
};

// A canvas that is itself an image, e.g. a window's back buffer.
class ImageMeterCanvas : public MeterCanvas {
 public:
  // width x height window pixels, at that many image pixels per window pixel.
  ImageMeterCanvas(int width, int height, QRgb fill, double devicePixelRatio = 1.0);
  void CopyBitmap(int x, int y, const QImage& bitmap) override;
  double DevicePixelRatio() const override { return image_.devicePixelRatio(); }
  const QImage& Image() const { return image_; }
  int CopyCount() const { return copyCount_; }

 private:
  QImage image_;
  int copyCount_ = 0;
};

}  // namespace tarnovox
