#pragma once
// TrayPanelIcon: the icon in the X11 system tray, through QSystemTrayIcon,
// for panels that do not speak the StatusNotifierItem protocol. The tray has
// no status: the picture alone tells it.
#include <QSystemTrayIcon>

#include "ui/panel_icon.h"

namespace tarnovox {

class TrayPanelIcon : public PanelIcon {
 public:
  void Show(QMenu* menu, std::function<void()> activated) override;
  void SetPicture(const QIcon& picture) override { icon_.setIcon(picture); }
  void SetToolTip(const QString& title, const QString& text) override;
  void SetStatus(PanelStatus) override {}

 private:
  QSystemTrayIcon icon_;
};

}  // namespace tarnovox
