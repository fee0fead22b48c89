#pragma once
// What a command from the command line does in the running recorder: Record,
// Pause and Stop become the recorder commands the hot keys F5, F7 and F9 send,
// with the same conditions; Show brings the main window back. A Record with
// `--for` or `--at` goes to `recordTimed` instead.
#include <functional>

#include "app/command_line.h"
#include "recorder/recorder_command.h"

class QWidget;

namespace tarnovox {

std::function<void(Command, const TakeTiming&)> CommandRunner(QWidget& window,
                                                             std::function<void(RecorderCommand)> execute,
                                                             std::function<void(const TakeTiming&)> recordTimed);

// Un-minimizes, shows, raises and activates the window.
void ShowAndRaise(QWidget& window);

}  // namespace tarnovox
