#include "analysis/meter_canvas.h"

#include <QPainter>
#include <cmath>

namespace tarnovox {

ImageMeterCanvas::ImageMeterCanvas(int width, int height, QRgb fill, double devicePixelRatio)
    : image_(static_cast<int>(std::lround(width * devicePixelRatio)),
             static_cast<int>(std::lround(height * devicePixelRatio)), QImage::Format_RGB32) {
  image_.setDevicePixelRatio(devicePixelRatio);
  image_.fill(fill);
}

void ImageMeterCanvas::CopyBitmap(int x, int y, const QImage& bitmap) {
  QPainter painter(&image_);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(x, y, bitmap);
  ++copyCount_;
}

}  // namespace tarnovox
