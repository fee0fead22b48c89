#include "app/qt_ui_hooks.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>

namespace tarnovox {

void QtUiHooks::ShowMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), QString::fromStdString(text),
                  QMessageBox::Ok, window_);
  box.exec();
}

void QtUiHooks::PostMessage(const std::string& text) {
  QMetaObject::invokeMethod(qApp, [this, text] { ShowMessage(text); }, Qt::QueuedConnection);
}

bool QtUiHooks::AskYesNo(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Question, QString::fromStdString(caption), QString::fromStdString(text),
                  QMessageBox::Yes | QMessageBox::No, window_);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void QtUiHooks::SetBusyCursor(bool busy) {
  if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  else QApplication::restoreOverrideCursor();
}

void QtUiHooks::UpdateTimeDisplay() {
  if (timeDisplay_) timeDisplay_();
}

}  // namespace tarnovox
