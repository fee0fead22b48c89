#pragma once
// SkinPictures: every skin button's normal (name + "1") and hover (name + "2")
// picture, loaded once at start-up. The names are those of the skin's GIF files
// (ui/skin/, made by ui/skin/make_skin.py).
#include <QHash>
#include <QPixmap>
#include <QString>

namespace tarnovox {

class SkinPictures {
 public:
  SkinPictures();

  // The picture of that name ("ImageRecord2"); an empty pixmap when the skin
  // has none, so a missing picture leaves a button blank instead of failing.
  const QPixmap& Picture(const QString& name) const;
  // Replaces one picture (another skin, or a test's own pictures).
  void SetPicture(const QString& name, const QPixmap& picture) { pictures_[name] = picture; }

  // The skin resource of a picture: ":/skin/<name>.gif", or on a screen scaled
  // above 100 % ":/skin/<name>@2x.gif" (device pixel ratio 2, the same size in
  // window pixels) where the skin has one.
  static QPixmap LoadSkinPicture(const QString& name);
  // Whether the screens are scaled above 100 %, so the 2x pictures are taken.
  static bool SharpPicturesWanted();
  // Starts decoding every skin picture on a thread of its own, so the windows
  // made meanwhile (and their fonts) do not wait for it; LoadSkinPicture
  // then takes the decoded picture. Once, with the application object made.
  static void DecodeSkinMeanwhile();
  // Lets the decoded pictures go once every window has its own; pictures
  // loaded later are decoded again.
  static void ForgetDecodedSkin();

 private:
  QHash<QString, QPixmap> pictures_;
  QPixmap empty_;
};

}  // namespace tarnovox
