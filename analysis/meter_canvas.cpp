#include "analysis/meter_canvas.h"

#include <QPainter>

namespace tarnovox {

ImageMeterCanvas::ImageMeterCanvas(int width, int height, QRgb fill)
    : image_(width, height, QImage::Format_RGB32) {
  image_.fill(fill);
}

void ImageMeterCanvas::CopyBitmap(int x, int y, const QImage& bitmap) {
  QPainter painter(&image_);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(x, y, bitmap);
  ++copyCount_;
}

}  // namespace tarnovox
