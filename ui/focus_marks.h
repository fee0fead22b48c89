#pragma once
// FocusMarks: the skin's focus mark around a window's fields, grid and bars
// once Tab has brought the keyboard to them: a dotted silver frame on the
// window's face, two pixels outside the control, as the picture buttons mark
// themselves. A click gives no mark, so the pictures stay as they are.
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <initializer_list>

class QPainter;

namespace tarnovox {

class FocusMarks : public QObject {
 public:
  explicit FocusMarks(QWidget* window) : QObject(window), window_(window) {}

  // The window's own children that get a mark; each must outlive nothing but the window.
  void Watch(std::initializer_list<QWidget*> controls);
  // Draws the mark of the control that has it; from the window's paint, after its background.
  void Paint(QPainter& painter) const;
  // The window pixels the mark of that control covers.
  static QRect MarkRect(const QWidget* control) { return control->geometry().adjusted(-3, -3, 2, 2); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  QPointer<QWidget> marked_;
};

}  // namespace tarnovox
