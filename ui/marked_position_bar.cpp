#include "ui/marked_position_bar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace tarnovox {

void MarkedPositionBar::SetMarks(const std::vector<int>& values) {
  if (values == marks_) return;
  marks_ = values;
  update();
}

void MarkedPositionBar::paintEvent(QPaintEvent* event) {
  QSlider::paintEvent(event);
  if (marks_.empty()) return;
  QStyleOptionSlider option;
  initStyleOption(&option);
  // The handle's centre travels over the groove less one handle's width:
  // a tick stands where the handle's centre stands at that value.
  const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
  const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
  const int span = groove.width() - handle.width();
  QPainter painter(this);
  painter.setPen(QColor(255, 64, 64));
  for (int value : marks_) {
    const int x = groove.left() + handle.width() / 2 +
                  QStyle::sliderPositionFromValue(minimum(), maximum(), value, span, option.upsideDown);
    painter.drawLine(x, height() - 4, x, height() - 1);
  }
}

}  // namespace tarnovox
