#include "ui/skin_pictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <future>

// The skin's resources live in this static library; a program linking it must
// register them before the first picture is loaded.
static void InitSkinResources() {
  static const bool done = [] {
    Q_INIT_RESOURCE(skin);
    return true;
  }();
  (void)done;
}

namespace tarnovox {
namespace {

// The buttons' picture pairs, without their "1" and "2".
const char* const kPairs[] = {"ImageFolder", "ImageSetting", "ImageHelp", "ImageInfo", "ImageMin",
                              "ImageClose",  "ImageControl", "ImageRecord", "ImagePause", "ImageStop",
                              "ImagePlay",   "ImageShow",    "ImageHide",   "ImageTag",   "ImageSave"};

// The pictures decoded on the thread, by name, once DecodeSkinMeanwhile ran.
std::shared_future<QHash<QString, QImage>>& DecodedSkin() {
  static std::shared_future<QHash<QString, QImage>> decoded;
  return decoded;
}

// The picture drawn at twice the size, with its ratio set so that it covers the
// same window pixels; the ratio is set here as well as taken from the name, so
// that turning Qt's own "@2x" reading off cannot double the windows' pictures.
QPixmap TwiceTheSize(QPixmap picture) {
  if (!picture.isNull()) picture.setDevicePixelRatio(2);
  return picture;
}

QPixmap DecodedOrLoaded(const QString& name) {
  if (const auto& decoded = DecodedSkin(); decoded.valid()) {
    const auto& pictures = decoded.get();
    const auto found = pictures.constFind(name);
    return found == pictures.constEnd() ? QPixmap() : QPixmap::fromImage(*found);
  }
  const QString path = ":/skin/" + name + ".gif";
  // QPixmap(path) warns about a missing file; the skin may legitimately lack one.
  if (!QFile::exists(path)) return QPixmap();
  return QPixmap(path);
}

}  // namespace

bool SkinPictures::SharpPicturesWanted() {
  const auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  return application != nullptr && application->devicePixelRatio() > 1;
}

void SkinPictures::DecodeSkinMeanwhile() {
  InitSkinResources();
  auto& decoded = DecodedSkin();
  if (decoded.valid()) return;
  // At 100 % the 2x pictures are not decoded at all: start-up stays as quick.
  const bool sharp = SharpPicturesWanted();
  decoded = std::async(std::launch::async, [sharp] {
              QHash<QString, QImage> pictures;
              for (const QString& file : QDir(":/skin").entryList({"*.gif"})) {
                if (sharp || !file.contains("@2x")) pictures.insert(file.chopped(4), QImage(":/skin/" + file));
              }
              return pictures;
            }).share();
}

void SkinPictures::ForgetDecodedSkin() {
  auto& decoded = DecodedSkin();
  if (decoded.valid()) decoded.wait();
  decoded = {};
}

SkinPictures::SkinPictures() {
  for (const char* pair : kPairs) {
    for (const char* state : {"1", "2"}) {
      const QString name = QString(pair) + state;
      pictures_.insert(name, LoadSkinPicture(name));
    }
  }
}

const QPixmap& SkinPictures::Picture(const QString& name) const {
  auto found = pictures_.constFind(name);
  return found == pictures_.constEnd() ? empty_ : *found;
}

QPixmap SkinPictures::LoadSkinPicture(const QString& name) {
  InitSkinResources();
  if (SharpPicturesWanted()) {
    QPixmap sharp = TwiceTheSize(DecodedOrLoaded(name + "@2x"));
    if (!sharp.isNull()) return sharp;
  }
  return DecodedOrLoaded(name);
}

}  // namespace tarnovox
