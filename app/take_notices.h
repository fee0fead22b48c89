#pragma once
// TakeNotices: tells the desktop what happened to a take while the user looks
// elsewhere. It follows the recorder's announcements, and once the command or
// tick that made them is done it compares the take with what it was:
//   started          "Recording record3.wav"
//   paused           "Paused record3.wav (0:12)"
//   resumed          "Resumed record3.wav"
//   went on in a new file  "Saved record3.wav (2:31), recording record4.wav"
//   stopped          "Saved record3.wav (2:31)"
//   failed           the failure's own message (every message the recorder raises)
// A Stop of a paused take resumes it for an instant: only "Saved" is told.
// Nothing is told while the main window is the active window or [Settings] Notify=0.
#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <string>

#include "recorder/recorder_controller.h"

namespace tarnovox {

class TakeNotices : public QObject {
  Q_OBJECT

 public:
  struct Hooks {
    std::function<bool()> userLooks;                  // the main window is the active window
    std::function<void(const QString& text)> notify;  // shows one notification
  };
  TakeNotices(const RecorderController& recorder, const RecorderState& state, const RecordSettings& settings,
              Hooks hooks);

  // "2:31", "0:05", "1:02:03": a take's length in a notification, to the nearest second.
  static QString LengthText(std::chrono::milliseconds length);

 private:
  void Changed();
  void Tell();
  QStringList TakeChanges();
  QString Saved(const std::string& file) const;

  const RecorderController& recorder_;
  const RecorderState& state_;
  const RecordSettings& settings_;
  Hooks hooks_;
  bool due_ = false;
  bool stopped_ = false;
  QStringList messages_;
  // The take as last told.
  RecorderMode mode_;
  std::string file_;
  std::chrono::milliseconds fileStart_{0};  // the take's time when its current file began
};

}  // namespace tarnovox
