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
};

// A canvas that is itself an image, e.g. a window's back buffer.
class ImageMeterCanvas : public MeterCanvas {
 public:
  ImageMeterCanvas(int width, int height, QRgb fill);
  void CopyBitmap(int x, int y, const QImage& bitmap) override;
  const QImage& Image() const { return image_; }
  int CopyCount() const { return copyCount_; }

 private:
  QImage image_;
  int copyCount_ = 0;
};

}  // namespace tarnovox
