#pragma once
// The main window's text labels (folder, status, format, file, time) with
// their fonts, colours and places; the rules of what they show live in
// StatusDisplay. Each label carries an object name ("timeLabel") by which
// tests and screen readers find it.
#include <QCoreApplication>
#include <QLabel>

#include "ui/status_display.h"

namespace tarnovox {

class MainLabels {
  Q_DECLARE_TR_FUNCTIONS(MainLabels)

 public:
  explicit MainLabels(QWidget* window);

  void ShowTime(const QString& text);
  void ShowFormat(const FormatLabels& format);
  void ShowStatus(const StatusLabels& status);
  // The folder label, with the full folder in its hint.
  void ShowFolder(const QString& folder);
  // Gives `label` the file label's text and colour (the file list's label
  // shows the same name in the same colour).
  void CopyFileTo(QLabel* label) const;

 private:
  QLabel* folderLabel_;
  QLabel* statusShadowLabel_;  // grey, one pixel right of and below the status label
  QLabel* statusLabel_;
  QLabel* formatLabel_;  // WAV or MP3
  QLabel* rateLabel_;
  QLabel* bitsLabel_;
  QLabel* channelsLabel_;
  QLabel* fileLabel_;
  QLabel* timeShadowLabel_;
  QLabel* timeLabel_;
};

}  // namespace tarnovox
