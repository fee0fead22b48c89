#pragma once
// PanelIcon: a place on the desktop's panel for a program's icon. The panel
// draws the picture, shows the tooltip and opens the menu; how it is reached
// (the StatusNotifierItem protocol over the session bus, or the X11 tray)
// is the implementation's business.
#include <QIcon>
#include <QString>
#include <functional>

class QMenu;

namespace tarnovox {

// How much the icon asks for the user's eye: panels keep an active icon in
// view and mark one that needs attention.
enum class PanelStatus { Active, NeedsAttention };

class PanelIcon {
 public:
  virtual ~PanelIcon() = default;
  // Shows the icon with `menu` as its menu; `activated` runs when the user
  // clicks the icon itself.
  virtual void Show(QMenu* menu, std::function<void()> activated) = 0;
  virtual void SetPicture(const QIcon& picture) = 0;
  // `title`: the first line, `text` the rest.
  virtual void SetToolTip(const QString& title, const QString& text) = 0;
  virtual void SetStatus(PanelStatus status) = 0;
};

}  // namespace tarnovox
