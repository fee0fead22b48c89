#include "app/command_runner.h"

#include <QWidget>

#include "recorder/recorder_controller.h"

namespace tarnovox {

std::function<void(Command)> CommandRunner(QWidget& window, std::function<void(int)> hotKey) {
  return [&window, hotKey = std::move(hotKey)](Command command) {
    switch (command) {
      case Command::Record: hotKey(RecorderController::kHotKeyRecord); break;
      case Command::Pause: hotKey(RecorderController::kHotKeyPause); break;
      case Command::Stop: hotKey(RecorderController::kHotKeyStop); break;
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
