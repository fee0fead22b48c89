#pragma once
// StatusIcon: the recorder on the desktop's panel. Its picture shows the mode
// (monitoring, recording with a red dot, paused), its tooltip the mode, the
// file and the time, and its menu sends Record, Pause, Stop, Show and Quit.
// Qt speaks the StatusNotifierItem protocol when the session has a watcher for
// it and uses the X11 tray otherwise; with no panel at all nothing shows and
// nothing is said.
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <functional>

#include "recorder/recorder_command.h"
#include "recorder/recorder_state.h"

namespace tarnovox {

class StatusIcon : public QObject {
  Q_OBJECT

 public:
  // `elapsedMs`: the take's recorded time now (the state's copy lags a tick).
  StatusIcon(const RecorderState& state, std::function<uint32_t()> elapsedMs, QObject* parent = nullptr);

  // Shows the icon on the panel with the picture and tooltip of the state now.
  void Show();
  // The recorder's mode, file or time changed.
  void ShowState();

  // The tooltip of a state: "Tarnovox", the mode word, then while a take runs its file and time.
  static QString ToolTip(const RecorderState& state, uint32_t elapsedMs);

 signals:
  void commandChosen(RecorderCommand command);
  void showRequested();
  void quitRequested();

 private:
  enum class Picture { Monitoring, Recording, Paused };
  static QIcon Draw(Picture picture);

  const RecorderState& state_;
  std::function<uint32_t()> elapsedMs_;
  QMenu menu_;
  QSystemTrayIcon icon_;
  QIcon pictures_[3];
  int shownPicture_ = -1;
  QString shownToolTip_;
};

}  // namespace tarnovox
