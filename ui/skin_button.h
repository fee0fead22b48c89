#pragma once
// SkinButton: a picture standing for a button. Moving the pointer over it shows
// its hover picture (nothing restores the normal one when the pointer leaves;
// the window's background does that); pressing moves it one pixel right and
// down; releasing moves it back and runs its action. A condition can guard the
// hover picture, the press offset and the action alike.
#include <QLabel>
#include <functional>

namespace tarnovox {

class TForm4;

class SkinButton : public QLabel {
 public:
  // pictureName is the bank pair ("ImageRecord"); the normal picture comes from
  // the skin itself until a bank is attached.
  SkinButton(QWidget* parent, const QString& name, const QString& pictureName, const QRect& place,
             const QString& hint);

  void SetBank(const TForm4* bank) { bank_ = bank; }
  void SetPictureName(const QString& pictureName) { pictureName_ = pictureName; }
  // Shows the bank picture of that name ("ImageHide2").
  void ShowPicture(const QString& name);
  // The normal picture: the pair's name + "1".
  void ShowNormal() { ShowPicture(pictureName_ + "1"); }

  std::function<bool()> enabledWhen;  // empty: always
  std::function<void()> onClick;      // the action on mouse up

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool Enabled() const { return !enabledWhen || enabledWhen(); }

  const TForm4* bank_ = nullptr;
  QString pictureName_;
  bool pressed_ = false;
};

}  // namespace tarnovox
