#include "ui/skin_button.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/skin_button_accessible.h"
#include "ui/skin_pictures.h"

namespace tarnovox {

SkinButton::SkinButton(QWidget* parent, const QString& name, const QString& pictureName, const QRect& place,
                       const QString& hint)
    : QLabel(parent), pictureName_(pictureName) {
  // Before anything is announced, or a screen reader would meet a label.
  InstallSkinButtonAccessibility();
  setObjectName(name);
  setGeometry(place);
  setToolTip(hint);
  setMouseTracking(true);
  setPixmap(SkinPictures::LoadSkinPicture(pictureName + "1"));
  setAccessibleName(hint.trimmed());
  // Tab only: a click must not leave a focus mark on the picture.
  setFocusPolicy(Qt::TabFocus);
}

void SkinButton::Press() {
  if (Enabled()) emit clicked();
}

void SkinButton::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter) return QLabel::keyPressEvent(event);
  event->accept();
  if (!event->isAutoRepeat()) Press();
}

void SkinButton::focusInEvent(QFocusEvent* event) {
  focusMarked_ = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
  update();
  QLabel::focusInEvent(event);
}

void SkinButton::focusOutEvent(QFocusEvent* event) {
  focusMarked_ = false;
  update();
  QLabel::focusOutEvent(event);
}

// The focus mark: a dotted silver frame on the picture's edge, as the skin's
// own lines are drawn, one pixel wide.
void SkinButton::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!focusMarked_ || !hasFocus()) return;
  QPainter painter(this);
  painter.setPen(QPen(QColor(192, 192, 192), 1, Qt::DotLine));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void SkinButton::ShowPicture(const QString& name) {
  if (pictures_ == nullptr) return;
  const QPixmap& picture = pictures_->Picture(name);
  // Repeated moves set the same picture again; only a change repaints.
  if (pixmap().cacheKey() != picture.cacheKey()) setPixmap(picture);
}

void SkinButton::mouseMoveEvent(QMouseEvent* event) {
  if (Enabled()) ShowPicture(pictureName_ + "2");
  event->accept();
}

void SkinButton::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (pressed_ || !Enabled()) return;
  pressed_ = true;
  move(x() + 1, y() + 1);
}

void SkinButton::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  // A button that was not pressed (its condition was false) stays put and does
  // nothing; one that was pressed always moves back, even if the condition
  // changed meanwhile, so it never stays displaced.
  if (!pressed_) return;
  if (event->buttons() != Qt::NoButton) return;  // another button still down
  pressed_ = false;
  move(x() - 1, y() - 1);
  if (Enabled()) emit clicked();
}

}  // namespace tarnovox
