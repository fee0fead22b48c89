#pragma once
// The window type of a window that goes with the main one (the file list, the
// tag editor): a frameless top-level window marked as a utility window, so
// taskbars list only the main window.
//
// Not Qt::Tool: Qt maps a tool window as transient for its hidden group
// leader and sends the window's geometry once more just before mapping it;
// Weston's X window manager answers that request by putting the window at its
// frame margin, 32,32, and maps it there, ignoring later moves.
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
    // At the first show the native window exists and is not mapped yet; marked
    // earlier, it would be created at a place the docking then moves it from.
    if (event->type() == QEvent::Show)
      static_cast<QWidget*>(watched)->setAttribute(Qt::WA_X11NetWmWindowTypeUtility);
    return false;
  }
};

}  // namespace tarnovox
