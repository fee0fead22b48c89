#pragma once
// FixedSizeAcrossScreens: keeps each window of fixed size at its size in
// window pixels when it moves to a screen of another scale. Qt keeps the
// window's screen pixels instead, so at 200 % a skinned window would show a
// quarter of itself, and at 100 % leave the rest blank. Installed on the
// application, it follows every window as it is first shown.
#include <QObject>

namespace tarnovox {

class FixedSizeAcrossScreens : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tarnovox
