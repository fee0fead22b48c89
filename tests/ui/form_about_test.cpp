#include <QDesktopServices>
#include <QLabel>
#include <gtest/gtest.h>

#include "tests/ui/ui_fixtures.h"
#include "ui/form_about.h"

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

TEST(TFormAbout, TheLinkClosesTheBoxAndOpensTheSiteThroughTheDesktop) {
  UrlCatcher browser;
  QDesktopServices::setUrlHandler("https", &browser, "Open");
  TFormAbout about;
  bool openAfterClick = true;
  testing::WhileOpen([&] {
    QTest::mouseClick(about.LabWWW, Qt::LeftButton, {}, QPoint(2, 2));
    openAfterClick = about.isVisible();
    if (openAfterClick) about.close();
  });
  about.exec();
  QDesktopServices::unsetUrlHandler("https");
  EXPECT_FALSE(openAfterClick);
  EXPECT_EQ(browser.opened, QList<QUrl>{TFormAbout::kMakerSite});
}

}  // namespace
}  // namespace tarnovox

#include "form_about_test.moc"
