#include "analysis/gdi_canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace tarnovox {

namespace {

// A dotted cosmetic pen draws 3 pixels and skips 3, starting afresh with every
// line; scaled with the image, so the dots keep their length on the screen.
constexpr int kDotOn = 3;
constexpr int kDotPeriod = 6;

// The labels use a small sans-serif face present on every desktop; they are
// drawn without antialiasing so they stay in their one colour.
const QFont& LabelFont() {
  static const QFont font = [] {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
  }();
  return font;
}

}  // namespace

GdiCanvas::GdiCanvas(QImage& image)
    : image_(image),
      bits_(image.bits()),
      bytesPerLine_(image.bytesPerLine()),
      width_(image.width()),
      height_(image.height()),
      ratio_(image.devicePixelRatio()),
      dotOn_(Scaled(kDotOn)),
      dotPeriod_(Scaled(kDotPeriod)) {}

void GdiCanvas::SetPen(Rgb colour, PenStyle style) {
  pen_ = colour;
  penStyle_ = style;
}

void GdiCanvas::MoveTo(int x, int y) {
  x_ = x;
  y_ = y;
}

// Bresenham from the current position; the end point itself is not drawn.
void GdiCanvas::LineTo(int toX, int toY) {
  const int x = Scaled(toX);
  const int y = Scaled(toY);
  int px = Scaled(x_);
  int py = Scaled(y_);
  const int dx = std::abs(x - px);
  const int dy = -std::abs(y - py);
  const int sx = px < x ? 1 : -1;
  const int sy = py < y ? 1 : -1;
  int error = dx + dy;
  for (int step = 0; px != x || py != y; ++step) {
    if (penStyle_ == PenStyle::Solid || step % dotPeriod_ < dotOn_) Plot(px, py, pen_);
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      px += sx;
    }
    if (twice <= dx) {
      error += dx;
      py += sy;
    }
  }
  MoveTo(toX, toY);
}

void GdiCanvas::FillSpan(int x1, int x2, int y, Rgb colour) {
  if (y < 0 || y >= height_) return;
  x1 = std::max(x1, 0);
  x2 = std::min(x2, width_);
  uint32_t* row = reinterpret_cast<uint32_t*>(bits_ + y * bytesPerLine_);
  for (int x = x1; x < x2; ++x) row[x] = 0xFF000000u | colour;
}

void GdiCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  const int left = Scaled(std::min(x1, x2));
  const int right = Scaled(std::max(x1, x2));
  const int top = Scaled(std::min(y1, y2));
  const int bottom = Scaled(std::max(y1, y2));
  if (left == right || top == bottom) return;
  FillSpan(left, right, top, pen_);
  // Only the rows inside the image: a tall bar may reach far past its edge.
  const int firstRow = std::max(top + 1, 0);
  const int endRow = std::min(bottom - 1, height_);
  for (int y = firstRow; y < endRow; ++y) {
    FillSpan(left + 1, right - 1, y, brush_);
    Plot(left, y, pen_);
    Plot(right - 1, y, pen_);
  }
  if (bottom - 1 > top) FillSpan(left, right, bottom - 1, pen_);
}

void GdiCanvas::Column(int x, int top, int bottom) {
  const int firstRow = std::max(Scaled(top), 0);
  const int endRow = std::min(Scaled(bottom), height_);
  for (int y = firstRow; y < endRow; ++y) FillSpan(Scaled(x), Scaled(x + 1), y, pen_);
}

// On a scaled image the painter takes window coordinates and draws the letters
// at the image's resolution.
void GdiCanvas::TextOut(int x, int y, const QString& text) {
  if (QGuiApplication::instance() == nullptr) return;
  QPainter painter(&image_);
  painter.setFont(LabelFont());
  painter.setPen(QColor::fromRgb(0xFF000000u | pen_));
  painter.drawText(QPoint(x, y + QFontMetrics(LabelFont()).ascent()), text);
}

}  // namespace tarnovox
