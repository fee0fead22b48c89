#pragma once
// SkinButton: a picture standing for a button. Moving the pointer over it shows
// its hover picture (nothing restores the normal one when the pointer leaves;
// the window's background does that); pressing moves it one pixel right and
// down; releasing moves it back and emits clicked(). A condition can guard the
// hover picture, the press offset and the click alike. Tab reaches it, Space
// or Enter presses it, and a screen reader sees a push button named by its
// hint; it marks the focus only when the keyboard moved it there, so its
// pictures stay as they are for the mouse.
#include <QLabel>
#include <functional>

namespace tarnovox {

class SkinPictures;

class SkinButton : public QLabel {
  Q_OBJECT

 public:
  // pictureName is the skin's picture pair ("ImageRecord"); the normal picture
  // comes from the skin itself until the loaded pictures are attached. `name`
  // is the button's object name, by which tests and screen readers find it.
  SkinButton(QWidget* parent, const QString& name, const QString& pictureName, const QRect& place,
             const QString& hint);

  void SetPictures(const SkinPictures* pictures) { pictures_ = pictures; }
  void SetPictureName(const QString& pictureName) { pictureName_ = pictureName; }
  // Shows the loaded picture of that name ("ImageHide2").
  void ShowPicture(const QString& name);
  // The normal picture: the pair's name + "1".
  void ShowNormal() { ShowPicture(pictureName_ + "1"); }

  // Asked before the hover picture, the press offset and the click; empty: always.
  std::function<bool()> enabledWhen;

  // A press from the keyboard or a screen reader: clicked(), when the condition allows.
  void Press();

 signals:
  // Released after a press with any mouse button, once no button is down.
  void clicked();

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  bool Enabled() const { return !enabledWhen || enabledWhen(); }

  const SkinPictures* pictures_ = nullptr;
  QString pictureName_;
  bool pressed_ = false;
  bool focusMarked_ = false;
};

}  // namespace tarnovox
