#pragma once
// The main window's text labels (status, time, format, folder, file) with
// their fonts, colours and places; the rules of what they show live in
// StatusDisplay.
#include <QLabel>

#include "ui/status_display.h"

namespace tarnovox {

class MainLabels {
 public:
  explicit MainLabels(QWidget* window);

  void ShowTime(const QString& text);
  void ShowFormat(const FormatLabels& format);
  void ShowStatus(const StatusLabels& status);
  // LabFolder with the full folder in its hint.
  void ShowFolder(const QString& folder);

  QLabel* LabFolder;
  QLabel* LabStatus0;  // grey shadow, one pixel right of and below LabStatus
  QLabel* LabStatus;
  QLabel* LabWavMP3;
  QLabel* LabRate;
  QLabel* LabBits;
  QLabel* LabStereo;
  QLabel* LabFile;
  QLabel* LabTime0;
  QLabel* LabTime;
};

}  // namespace tarnovox
