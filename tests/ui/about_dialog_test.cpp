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

const QUrl kHelpPage = QUrl::fromLocalFile("/opt/tarnovox/tarnovox.html");

TEST(AboutDialog, TheLinkClosesTheBoxAndOpensTheHelpPage) {
  UrlCatcher browser;
  QDesktopServices::setUrlHandler("file", &browser, "Open");
  AboutDialog about;
  about.SetHelpPage(kHelpPage);
  QLabel* link = testing::Child<QLabel>(about, "helpLinkLabel");
  EXPECT_EQ(link->text(), "tarnovox.html");
  bool openAfterClick = true;
  testing::WhileOpen([&] {
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
    openAfterClick = about.isVisible();
    if (openAfterClick) about.close();
  });
  about.exec();
  QDesktopServices::unsetUrlHandler("file");
  EXPECT_FALSE(openAfterClick);
  EXPECT_EQ(browser.opened, QList<QUrl>{kHelpPage});
}

TEST(AboutDialog, TheHotKeyLineSitsBelowTheLinkInsideTheBox) {
  AboutDialog about;
  about.SetHelpPage(kHelpPage);
  QLabel* link = testing::Child<QLabel>(about, "helpLinkLabel");
  QLabel* hotKeys = testing::Child<QLabel>(about, "hotKeysLabel");
  about.SetHotKeys("Hot keys F5, F7, F9: system-wide (X11)");
  EXPECT_TRUE(hotKeys->isVisibleTo(&about));
  EXPECT_GT(hotKeys->y(), link->geometry().bottom());
  EXPECT_TRUE(about.rect().contains(hotKeys->geometry()));
  about.SetHotKeys({});
  EXPECT_FALSE(hotKeys->isVisibleTo(&about));
}

// The version the box names is the one the loaded library reports, as the
// lame program over the same LAME library says it.
TEST(AboutDialog, NamesTheLoadedEncoderVersion) {
  DlopenLoader loader;
  const std::string version = AboutDialog::LoadedEncoderVersion(loader);
  ASSERT_FALSE(version.empty());
  EXPECT_NE(testing::RunCommand("lame --version | head -n1").find("version " + version), std::string::npos);
  AboutDialog about;
  about.SetEncoderVersion(version);
  EXPECT_EQ(testing::Child<QLabel>(about, "encoderLabel")->text().toStdString(),
            "MPEG Layer-3 Audio Codec Lame " + version + " ");
}

}  // namespace
}  // namespace tarnovox

#include "about_dialog_test.moc"
