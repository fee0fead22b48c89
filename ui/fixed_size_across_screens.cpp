#include "ui/fixed_size_across_screens.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace tarnovox {

bool FixedSizeAcrossScreens::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
  auto* window = static_cast<QWidget*>(watched);
  QWindow* handle = window->isWindow() ? window->windowHandle() : nullptr;
  if (handle == nullptr || handle->property("tarnovoxFollowed").toBool()) return false;
  handle->setProperty("tarnovoxFollowed", true);
  connect(handle, &QWindow::screenChanged, window, [window] {
    if (window->minimumSize() != window->maximumSize()) return;
    // Qt sets the window's new size in window pixels right after this signal.
    QMetaObject::invokeMethod(window, [window] { window->resize(window->minimumSize()); }, Qt::QueuedConnection);
  });
  return false;
}

}  // namespace tarnovox
