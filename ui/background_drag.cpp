#include "ui/background_drag.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace tarnovox {

void BackgroundDrag::Press(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) return;
  QWindow* handle = window_.windowHandle();
  if (handle != nullptr && handle->startSystemMove()) return;
  dragging_ = true;
  offset_ = event->globalPosition().toPoint() - window_.pos();
}

bool BackgroundDrag::Move(QMouseEvent* event) {
  if (!dragging_) return false;
  window_.move(event->globalPosition().toPoint() - offset_);
  return true;
}

void BackgroundDrag::Release(QMouseEvent* event) {
  if (event->buttons() == Qt::NoButton) dragging_ = false;
}

}  // namespace tarnovox
