#include "ui/conversion_progress_dialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnovox {

TFormConvert::TFormConvert(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("FormConvert");
  setWindowTitle("Converting WAV to MP3");
  setModal(false);
  Label1 = new QLabel("Converting... ", this);
  LabSource = new QLabel(this);
  LabTarget = new QLabel(this);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setTextVisible(false);  // smooth bar without a percentage
  BtnCancel = new QPushButton("Cancel", this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BtnCancel);
  auto* layout = new QVBoxLayout(this);
  for (QWidget* widget : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(LabSource),
                          static_cast<QWidget*>(LabTarget), static_cast<QWidget*>(ProgressBar1)}) {
    layout->addWidget(widget);
  }
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });
}

// FormShow: the labels name the two files; the continue flag is set again.
void TFormConvert::Show(const std::string& source, const std::string& target) {
  LabSource->setText(QString::fromStdString("Source: " + source));
  LabTarget->setText(QString::fromStdString("Target:  " + target));
  ProgressBar1->setValue(0);
  cancelled_ = false;
  show();
  raise();
}

void TFormConvert::SetProgress(int percent) { ProgressBar1->setValue(percent); }

void TFormConvert::Close() {
  // Closing after the conversion must not count as a cancel of the next one;
  // Show clears the flag anyway.
  hide();
}

void TFormConvert::SetFileGridEnabled(bool enabled) {
  if (gridEnabler_) gridEnabler_(enabled);
}

void TFormConvert::BtnCancelClick() {
  cancelled_ = true;
  hide();
}

void TFormConvert::closeEvent(QCloseEvent* event) {
  cancelled_ = true;
  QDialog::closeEvent(event);
}

void TFormConvert::reject() {
  cancelled_ = true;
  QDialog::reject();
}

}  // namespace tarnovox
