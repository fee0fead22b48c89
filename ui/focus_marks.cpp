#include "ui/focus_marks.h"

#include <QFocusEvent>
#include <QPainter>

namespace tarnovox {

void FocusMarks::Watch(std::initializer_list<QWidget*> controls) {
  for (QWidget* control : controls) control->installEventFilter(this);
}

bool FocusMarks::eventFilter(QObject* watched, QEvent* event) {
  auto* control = qobject_cast<QWidget*>(watched);
  if (control == nullptr) return false;
  if (event->type() == QEvent::FocusIn) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) {
      marked_ = control;
      window_->update(MarkRect(control).adjusted(0, 0, 1, 1));
    }
  } else if (event->type() == QEvent::FocusOut && marked_ == control) {
    marked_ = nullptr;
    window_->update(MarkRect(control).adjusted(0, 0, 1, 1));
  }
  return false;
}

void FocusMarks::Paint(QPainter& painter) const {
  if (marked_ == nullptr || !marked_->hasFocus()) return;
  painter.save();
  painter.setPen(QPen(QColor(192, 192, 192), 1, Qt::DotLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(MarkRect(marked_));
  painter.restore();
}

}  // namespace tarnovox
