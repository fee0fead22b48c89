#include "ui/form_about.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>

#ifndef TARNOVOX_VERSION
#define TARNOVOX_VERSION "0.1.0"
#endif

namespace tarnovox {
namespace {

const QColor kTitleBlue(0, 0, 174);

QLabel* TitleLabel(QWidget* parent, const QColor& colour) {
  auto* label = new QLabel(QStringLiteral("Tarnovox " TARNOVOX_VERSION), parent);
  QFont font("Arial");
  font.setPixelSize(24);
  font.setBold(true);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  label->setAttribute(Qt::WA_TranslucentBackground);
  return label;
}

}  // namespace

const QUrl TFormAbout::kMakerSite("https://tarnovox.example.org/");
const QUrl TFormAbout::kEncoderSite("https://lame.sourceforge.io/");

TFormAbout::TFormAbout(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("FormAbout");
  setWindowTitle("About Tarnovox");
  setModal(true);
  setFixedSize(335, 217);
  CreateTitle();
  LabMpeg = new QLabel("MPEG Layer-3 Audio Codec Lame 3.93.1 ", this);
  LabMpeg->move(72, 82);
  LabLameWeb = new QLabel("(" + kEncoderSite.toString() + ")", this);
  LabLameWeb->move(108, 106);
  BitBtnClose = new QPushButton("OK", this);
  BitBtnClose->setGeometry(128, 134, 73, 25);
  BitBtnClose->setDefault(true);
  LabAuthor = new QLabel("Written by the Tarnovox developers", this);
  LabAuthor->move(74, 170);
  LabWWW = new QLabel(kMakerSite.toString(), this);
  LabWWW->move(108, 190);
  QPalette link = LabWWW->palette();
  link.setColor(QPalette::WindowText, kTitleBlue);
  LabWWW->setPalette(link);
  LabWWW->setCursor(Qt::PointingHandCursor);
  LabWWW->installEventFilter(this);
  connect(BitBtnClose, &QPushButton::clicked, this, [this] { accept(); });  // BitBtnCloseClick
}

void TFormAbout::CreateTitle() {
  ImageAbout = new QLabel(this);
  ImageAbout->setGeometry(6, 24, 37, 33);
  QIcon icon = QApplication::windowIcon();
  if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_MediaVolume);
  ImageAbout->setPixmap(icon.pixmap(32, 32));
  // The silver copy one pixel right and down shows as the blue title's shadow.
  Lab1 = TitleLabel(this, QColor(192, 192, 192));
  Lab1->setGeometry(47, 26, 281, 29);
  Lab2 = TitleLabel(this, kTitleBlue);
  Lab2->setGeometry(46, 25, 281, 29);
  Lab2->raise();
}

bool TFormAbout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == LabWWW && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    LabWWWClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

// The window closes first; a browser that cannot be started is not reported.
void TFormAbout::LabWWWClick() {
  accept();
  QDesktopServices::openUrl(kMakerSite);
}

}  // namespace tarnovox
