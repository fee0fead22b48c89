#include <QDesktopServices>
#include <QLabel>
#include <gtest/gtest.h>

#include "tests/support/sound_check.h"
#include "tests/ui/ui_fixtures.h"
#include "ui/about_dialog.h"

namespace tarnovox {
namespace {

// Stands in for the desktop's browser.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public slots:
  void Open(const QUrl& url) { opened << url; }
};

TEST(TFormAbout, TheLinkClosesTheBoxAndOpensTheHelpPageAndTheHotKeyLineSitsBelowIt) {
  UrlCatcher browser;
  QDesktopServices::setUrlHandler("file", &browser, "Open");
  const QUrl page = QUrl::fromLocalFile("/opt/tarnovox/tarnovox.html");
  TFormAbout about;
  about.SetHelpPage(page);
  EXPECT_EQ(about.LabWWW->text(), "tarnovox.html");
  bool openAfterClick = true;
  testing::WhileOpen([&] {
    QTest::mouseClick(about.LabWWW, Qt::LeftButton, {}, QPoint(2, 2));
    openAfterClick = about.isVisible();
    if (openAfterClick) about.close();
  });
  about.exec();
  QDesktopServices::unsetUrlHandler("file");
  EXPECT_FALSE(openAfterClick);
  EXPECT_EQ(browser.opened, QList<QUrl>{page});

  // The line naming the hot-key mechanism sits below the link, whole inside the box.
  about.SetHotKeys("Hot keys F5, F7, F9: system-wide (X11)");
  EXPECT_TRUE(about.LabHotKeys->isVisibleTo(&about));
  EXPECT_GT(about.LabHotKeys->y(), about.LabWWW->geometry().bottom());
  EXPECT_TRUE(about.rect().contains(about.LabHotKeys->geometry()));
  about.SetHotKeys({});
  EXPECT_FALSE(about.LabHotKeys->isVisibleTo(&about));
}

// The version the box names is the one the loaded library reports, as the
// lame program over the same LAME library says it.
TEST(TFormAbout, NamesTheLoadedEncoderVersion) {
  DlopenLoader loader;
  const std::string version = TFormAbout::LoadedEncoderVersion(loader);
  ASSERT_FALSE(version.empty());
  EXPECT_NE(testing::RunCommand("lame --version | head -n1").find("version " + version), std::string::npos);
  TFormAbout about;
  about.SetEncoderVersion(version);
  EXPECT_EQ(about.LabMpeg->text().toStdString(), "MPEG Layer-3 Audio Codec Lame " + version + " ");
}

}  // namespace
}  // namespace tarnovox

#include "about_dialog_test.moc"
