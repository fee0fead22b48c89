#include "ui/skin_button.h"

#include <QMouseEvent>

#include "ui/skin_pictures.h"

namespace tarnovox {

SkinButton::SkinButton(QWidget* parent, const QString& name, const QString& pictureName, const QRect& place,
                       const QString& hint)
    : QLabel(parent), pictureName_(pictureName) {
  setObjectName(name);
  setGeometry(place);
  setToolTip(hint);
  setMouseTracking(true);
  setPixmap(SkinPictures::LoadSkinPicture(pictureName + "1"));
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
