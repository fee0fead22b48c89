#include "app/command_runner.h"

#include <QWidget>


namespace tarnovox {

std::function<void(Command, const TakeTiming&)> CommandRunner(QWidget& window,
                                                             std::function<void(RecorderCommand)> execute,
                                                             std::function<void(const TakeTiming&)> recordTimed) {
  return [&window, execute = std::move(execute), recordTimed = std::move(recordTimed)](Command command,
                                                                                       const TakeTiming& timing) {
    switch (command) {
      case Command::Record:
        if (timing.Timed()) recordTimed(timing);
        else execute(RecorderCommand::Record);
        break;
      case Command::Pause: execute(RecorderCommand::Pause); break;
      case Command::Stop: execute(RecorderCommand::Stop); break;
      case Command::Mark: execute(RecorderCommand::Mark); break;
      case Command::Show: ShowAndRaise(window); break;
    }
  };
}

void ShowAndRaise(QWidget& window) {
  window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace tarnovox
