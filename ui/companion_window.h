#pragma once
// The window type of a window that goes with the main one (the file list, the
// tag editor): a frameless top-level window, marked as a utility window (left
// out of taskbars) once the window manager has placed it.
//
// Not Qt::Tool: Qt maps a tool window as transient for its hidden group
// leader and sends the window's geometry once more just before mapping it;
// Weston's X window manager answers that request by putting the window at its
// frame margin, 32,32, and maps it there. Nor a utility window while mapped:
// Weston shows one 32 pixels right of and below the place asked for. Weston
// ignores later moves, so the place at mapping time is the one that counts.
#include <QEvent>
#include <QObject>
#include <QWidget>

namespace tarnovox {

class CompanionWindow : public QObject {
 public:
  // Watches the window; owned by it.
  explicit CompanionWindow(QWidget* window) : QObject(window) { window->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // Activated, the window has been placed; hidden, it is mapped as a plain
    // window again the next time.
    auto* window = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::WindowActivate)
      window->setAttribute(Qt::WA_X11NetWmWindowTypeUtility);
    else if (event->type() == QEvent::Hide)
      window->setAttribute(Qt::WA_X11NetWmWindowTypeUtility, false);
    return false;
  }
};

}  // namespace tarnovox
