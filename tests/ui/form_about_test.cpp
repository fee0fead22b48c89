#include <QCoreApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include "tests/ui/dialog_driver.h"
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
  EXPECT_EQ(about.Lab2->text(), "Tarnovox 0.1.0");
  EXPECT_EQ(about.Lab1->geometry().topLeft() - about.Lab2->geometry().topLeft(), QPoint(1, 1));
  bool openAfterClick = true;
  testing::WhileOpen([&] {
    const QPointF inside(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, inside, about.LabWWW->mapToGlobal(inside), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, about.LabWWW->mapToGlobal(inside), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(about.LabWWW, &press);
    QCoreApplication::sendEvent(about.LabWWW, &release);
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
