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
#include "ui/program_name.h"

#ifndef TARNOVOX_VERSION
#define TARNOVOX_VERSION "0.1.0"
#endif

namespace tarnovox {
namespace {

const QColor kTitleBlue(0, 0, 174);

// The box's texts, in one place and through tr() so they can be translated.
struct Texts {
  QString title = AboutDialog::tr("About Tarnovox");
  QString ok = AboutDialog::tr("OK");
  QString author = AboutDialog::tr("Written by the Tarnovox developers");
  // The trailing spaces are kept on purpose.
  static QString Encoder(const std::string& version) {
    return version.empty() ? AboutDialog::tr("MPEG Layer-3 Audio Codec Lame (not found) ")
                           : AboutDialog::tr("MPEG Layer-3 Audio Codec Lame %1 ").arg(QString::fromStdString(version));
  }
};

QLabel* HeadingLabel(QWidget* parent, const char* name, const QColor& colour) {
  auto* label = new QLabel(QString(kProgramName) + " " TARNOVOX_VERSION, parent);
  label->setObjectName(name);
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

const QUrl AboutDialog::kEncoderSite("https://lame.sourceforge.io/");

AboutDialog::AboutDialog(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint) {
  const Texts texts;
  setObjectName("aboutDialog");
  setWindowTitle(texts.title);
  setModal(true);
  setFixedSize(335, 217);
  CreateHeading();
  encoderLabel_ = new QLabel(this);
  encoderLabel_->setObjectName("encoderLabel");
  SetEncoderVersion({});
  encoderLabel_->move(72, 82);
  auto* encoderSiteLabel = new QLabel("(" + kEncoderSite.toString() + ")", this);
  encoderSiteLabel->setObjectName("encoderSiteLabel");
  encoderSiteLabel->move(108, 106);
  auto* okButton = new QPushButton(texts.ok, this);
  okButton->setObjectName("okButton");
  okButton->setGeometry(128, 134, 73, 25);
  okButton->setDefault(true);
  auto* authorLabel = new QLabel(texts.author, this);
  authorLabel->setObjectName("authorLabel");
  authorLabel->move(74, 170);
  helpLinkLabel_ = new QLabel(this);
  helpLinkLabel_->setObjectName("helpLinkLabel");
  helpLinkLabel_->hide();
  helpLinkLabel_->move(108, 190);
  QPalette link = helpLinkLabel_->palette();
  link.setColor(QPalette::WindowText, kTitleBlue);
  helpLinkLabel_->setPalette(link);
  helpLinkLabel_->setCursor(Qt::PointingHandCursor);
  helpLinkLabel_->installEventFilter(this);
  hotKeysLabel_ = new QLabel(this);
  hotKeysLabel_->setObjectName("hotKeysLabel");
  hotKeysLabel_->hide();
  connect(okButton, &QPushButton::clicked, this, [this] { accept(); });
}

void AboutDialog::CreateHeading() {
  auto* icon = new QLabel(this);
  icon->setObjectName("iconLabel");
  icon->setGeometry(6, 24, 37, 33);
  icon->setPixmap(QIcon(":/tarnovox.png").pixmap(32, 32));
  // The silver copy one pixel right and down shows as the blue heading's shadow.
  QLabel* shadow = HeadingLabel(this, "headingShadowLabel", QColor(192, 192, 192));
  shadow->setGeometry(47, 26, 281, 29);
  QLabel* heading = HeadingLabel(this, "headingLabel", kTitleBlue);
  heading->setGeometry(46, 25, 281, 29);
  heading->raise();
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == helpLinkLabel_ && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    OpenHelpPage();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

// The window closes first; a browser that cannot be started is not reported.
void AboutDialog::OpenHelpPage() {
  accept();
  QDesktopServices::openUrl(helpPage_);
}

void AboutDialog::SetHelpPage(const QUrl& page) {
  helpPage_ = page;
  helpLinkLabel_->setText(page.fileName());
  helpLinkLabel_->adjustSize();
  helpLinkLabel_->setVisible(!page.isEmpty());
}

void AboutDialog::SetHotKeys(const QString& text) {
  hotKeysLabel_->setText(text);
  hotKeysLabel_->adjustSize();
  hotKeysLabel_->move((335 - hotKeysLabel_->width()) / 2, 212);
  hotKeysLabel_->setVisible(!text.isEmpty());
  setFixedSize(335, text.isEmpty() ? 217 : 236);
}

void AboutDialog::SetEncoderVersion(const std::string& version) {
  encoderLabel_->setText(Texts::Encoder(version));
  encoderLabel_->adjustSize();
}

std::string AboutDialog::LoadedEncoderVersion(DynamicLibraryLoader& loader) {
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
