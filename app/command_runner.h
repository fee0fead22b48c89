#pragma once
// What a command from the command line does in the running recorder: Record,
// Pause and Stop go through the very callback the hot keys F5, F7 and F9 use,
// with the same conditions; Show brings the main window back.
#include <functional>

#include "app/command_line.h"

class QWidget;

namespace tarnovox {

// hotKey receives 101, 102 or 103 as from GlobalHotKeys.
std::function<void(Command)> CommandRunner(QWidget& window, std::function<void(int)> hotKey);

// Un-minimizes, shows, raises and activates the window.
void ShowAndRaise(QWidget& window);

}  // namespace tarnovox
