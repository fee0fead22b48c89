#include "ui/about_dialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <cstdio>

#include "formats/mp3_encoder.h"

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

const QUrl TFormAbout::kEncoderSite("https://lame.sourceforge.io/");

TFormAbout::TFormAbout(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("FormAbout");
  setWindowTitle("About Tarnovox");
  setModal(true);
  setFixedSize(335, 217);
  CreateTitle();
  LabMpeg = new QLabel(this);
  SetEncoderVersion({});
  LabMpeg->move(72, 82);
  LabLameWeb = new QLabel("(" + kEncoderSite.toString() + ")", this);
  LabLameWeb->move(108, 106);
  BitBtnClose = new QPushButton("OK", this);
  BitBtnClose->setGeometry(128, 134, 73, 25);
  BitBtnClose->setDefault(true);
  LabAuthor = new QLabel("Written by the Tarnovox developers", this);
  LabAuthor->move(74, 170);
  LabWWW = new QLabel(this);
  LabWWW->hide();
  LabWWW->move(108, 190);
  QPalette link = LabWWW->palette();
  link.setColor(QPalette::WindowText, kTitleBlue);
  LabWWW->setPalette(link);
  LabWWW->setCursor(Qt::PointingHandCursor);
  LabWWW->installEventFilter(this);
  LabHotKeys = new QLabel(this);
  LabHotKeys->hide();
  connect(BitBtnClose, &QPushButton::clicked, this, [this] { accept(); });  // BitBtnCloseClick
}

void TFormAbout::CreateTitle() {
  ImageAbout = new QLabel(this);
  ImageAbout->setGeometry(6, 24, 37, 33);
  ImageAbout->setPixmap(QIcon(":/tarnovox.png").pixmap(32, 32));
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
  QDesktopServices::openUrl(helpPage_);
}

void TFormAbout::SetHelpPage(const QUrl& page) {
  helpPage_ = page;
  LabWWW->setText(page.fileName());
  LabWWW->adjustSize();
  LabWWW->setVisible(!page.isEmpty());
}

void TFormAbout::SetHotKeys(const QString& text) {
  LabHotKeys->setText(text);
  LabHotKeys->adjustSize();
  LabHotKeys->move((335 - LabHotKeys->width()) / 2, 212);
  LabHotKeys->setVisible(!text.isEmpty());
  setFixedSize(335, text.isEmpty() ? 217 : 236);
}

void TFormAbout::SetEncoderVersion(const std::string& version) {
  LabMpeg->setText(version.empty() ? QString("MPEG Layer-3 Audio Codec Lame (not found) ")
                                   : QString("MPEG Layer-3 Audio Codec Lame %1 ").arg(QString::fromStdString(version)));
  LabMpeg->adjustSize();
}

std::string TFormAbout::LoadedEncoderVersion(DynamicLibraryLoader& loader) {
  DynamicLibraryLoader::Handle library = loader.Load(kEncoderLibraryName);
  if (library == nullptr) return {};
  std::string text;
  if (auto query = reinterpret_cast<lame_enc::BeVersionFn>(loader.Resolve(library, "beVersion"))) {
    lame_enc::BE_VERSION version{};
    query(&version);
    text = std::to_string(version.byMajorVersion) + "." + std::to_string(version.byMinorVersion);
  }
  loader.Free(library);
  return text;
}

}  // namespace tarnovox
