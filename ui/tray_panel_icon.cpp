#include "ui/tray_panel_icon.h"

namespace tarnovox {

void TrayPanelIcon::Show(QMenu* menu, std::function<void()> activated) {
  icon_.setContextMenu(menu);
  QObject::connect(&icon_, &QSystemTrayIcon::activated, [activated](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) activated();
  });
  icon_.show();
}

void TrayPanelIcon::SetToolTip(const QString& title, const QString& text) {
  icon_.setToolTip(text.isEmpty() ? title : title + "\n" + text);
}

}  // namespace tarnovox
