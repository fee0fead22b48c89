#pragma once
// Dragging a borderless window by its background with any mouse button but the
// right one: the window manager moves it as if its caption were dragged; where
// there is none (or it cannot), the window follows the pointer itself.
#include <QPoint>

class QMouseEvent;
class QWidget;

namespace tarnovox {

class BackgroundDrag {
 public:
  explicit BackgroundDrag(QWidget& window) : window_(window) {}
  void Press(QMouseEvent* event);
  // True while the window follows the pointer (the move is used up).
  bool Move(QMouseEvent* event);
  void Release(QMouseEvent* event);

 private:
  QWidget& window_;
  bool dragging_ = false;
  QPoint offset_;
};

}  // namespace tarnovox
