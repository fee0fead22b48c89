#pragma once
// Runs `steps` once a modal dialog's own event loop is running, so a test can
// act on the open dialog and close it the way a user would.
#include <QTimer>
#include <functional>

namespace tarnovox::testing {

inline void WhileOpen(std::function<void()> steps) { QTimer::singleShot(0, std::move(steps)); }

}  // namespace tarnovox::testing
