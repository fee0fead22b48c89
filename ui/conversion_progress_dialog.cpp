#include "ui/conversion_progress_dialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnovox {
namespace {

// The dialog's texts, in one place and through tr() so they can be translated.
struct Texts {
  static QString Title(ConversionTarget format) {
    switch (format) {
      case ConversionTarget::Flac: return ConversionProgressDialog::tr("Converting WAV to FLAC");
      case ConversionTarget::Opus: return ConversionProgressDialog::tr("Converting WAV to Opus");
      case ConversionTarget::Mp3: break;
    }
    return ConversionProgressDialog::tr("Converting WAV to MP3");
  }
  QString heading = ConversionProgressDialog::tr("Converting... ");  // the trailing space is kept on purpose
  QString cancel = ConversionProgressDialog::tr("Cancel");
  static std::string Source() { return ConversionProgressDialog::tr("Source: ").toStdString(); }
  // The double space is kept on purpose.
  static std::string Target() { return ConversionProgressDialog::tr("Target:  ").toStdString(); }
};

}  // namespace

ConversionProgressDialog::ConversionProgressDialog(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint) {
  const Texts texts;
  setObjectName("conversionProgressDialog");
  setWindowTitle(Texts::Title(ConversionTarget::Mp3));
  setModal(false);
  auto* heading = new QLabel(texts.heading, this);
  heading->setObjectName("headingLabel");
  sourceLabel_ = new QLabel(this);
  sourceLabel_->setObjectName("sourceLabel");
  targetLabel_ = new QLabel(this);
  targetLabel_->setObjectName("targetLabel");
  progressBar_ = new QProgressBar(this);
  progressBar_->setObjectName("progressBar");
  progressBar_->setRange(0, 100);
  progressBar_->setTextVisible(false);  // smooth bar without a percentage
  auto* cancelButton = new QPushButton(texts.cancel, this);
  cancelButton->setObjectName("cancelButton");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(this);
  for (QWidget* widget : {static_cast<QWidget*>(heading), static_cast<QWidget*>(sourceLabel_),
                          static_cast<QWidget*>(targetLabel_), static_cast<QWidget*>(progressBar_)}) {
    layout->addWidget(widget);
  }
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(cancelButton, &QPushButton::clicked, this, [this] { CancelConversion(); });
}

void ConversionProgressDialog::Show(ConversionTarget format, const std::string& source, const std::string& target) {
  setWindowTitle(Texts::Title(format));
  sourceLabel_->setText(QString::fromStdString(Texts::Source() + source));
  targetLabel_->setText(QString::fromStdString(Texts::Target() + target));
  progressBar_->setValue(0);
  cancelled_ = false;
  show();
  raise();
}

void ConversionProgressDialog::SetProgress(int percent) { progressBar_->setValue(percent); }

void ConversionProgressDialog::Close() {
  // Closing after the conversion must not count as a cancel of the next one;
  // Show clears the flag anyway.
  hide();
}

void ConversionProgressDialog::SetFileGridEnabled(bool enabled) {
  if (gridEnabler_) gridEnabler_(enabled);
}

void ConversionProgressDialog::CancelConversion() {
  MarkCancelled();
  hide();
}

void ConversionProgressDialog::closeEvent(QCloseEvent* event) {
  MarkCancelled();
  QDialog::closeEvent(event);
}

void ConversionProgressDialog::reject() {
  MarkCancelled();
  QDialog::reject();
}

void ConversionProgressDialog::MarkCancelled() {
  cancelled_ = true;
  if (cancelAction_) cancelAction_();
}

}  // namespace tarnovox
