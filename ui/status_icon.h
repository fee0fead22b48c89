#pragma once
// StatusIcon: the recorder on the desktop's panel. Its picture shows the mode
// (monitoring, recording with a red dot, paused), its tooltip the mode, the
// file and the time, its status asks for attention while a take records, and
// its menu sends Record, Pause, Stop, Show and Quit. With no panel at all
// nothing shows and nothing is said.
#include <QMenu>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>

#include "recorder/recorder_command.h"
#include "recorder/recorder_state.h"
#include "ui/panel_icon.h"

namespace tarnovox {

class StatusIcon : public QObject {
  Q_OBJECT

 public:
  // `elapsedMs`: the take's recorded time now (the state's copy lags a tick).
  // `panel`: where the icon shows.
  StatusIcon(const RecorderState& state, std::function<uint32_t()> elapsedMs, std::unique_ptr<PanelIcon> panel,
             QObject* parent = nullptr);

  // Shows the icon on the panel with the picture and tooltip of the state now.
  void Show();
  // The recorder's mode, file or time changed.
  void ShowState();

  // The tooltip of a state: "Tarnovox", the mode word, then while a take runs its file and time.
  static QString ToolTip(const RecorderState& state, uint32_t elapsedMs);
  // A take that records needs the user's attention: the microphone is live.
  // Paused, monitoring or playing, the icon is active: still in view, with
  // its menu at hand to start the next take.
  static PanelStatus Status(const RecorderState& state);

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
  std::unique_ptr<PanelIcon> panel_;
  QIcon pictures_[3];
  int shownPicture_ = -1;
  QString shownToolTip_;
  std::optional<PanelStatus> shownStatus_;
};

}  // namespace tarnovox
