#pragma once
// F5, F7, F8 and F9 as system-wide keys, through one of two mechanisms:
// - the desktop's GlobalShortcuts portal (PortalShortcuts), tried first in a
//   Wayland session: there X11 grabs see keys only while an X11 window has the
//   focus, while the compositor hands portal shortcuts over whatever has it;
// - passive X11 key grabs on the root window (also with NumLock and CapsLock
//   on), whose presses arrive through a native event filter: in an X11
//   session, and in a Wayland session whose portal is missing or fails.
// A key that is held by neither (native Wayland without the portal, or
// another program holds the grab) still acts while the main window has the
// focus; with the portal the window keeps its keys too, in case the user bound
// other ones. A held key acts once, not on each of its repeats. The grabs are
// released on destruction.
#include <QAbstractNativeEventFilter>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "app/held_keys.h"
#include "recorder/recorder_command.h"

class QShortcut;
class QWidget;

namespace tarnovox {

class PortalShortcuts;

class GlobalHotKeys final : public QAbstractNativeEventFilter {
 public:
  enum class Mechanism { PortalStarting, Portal, X11Grabs, WindowOnly };

  // onKey receives Record (F5), Pause (F7), Mark (F8) or Stop (F9). portalFirst: see
  // InWaylandSession.
  GlobalHotKeys(QWidget* window, std::function<void(RecorderCommand)> onKey, bool portalFirst);
  ~GlobalHotKeys() override;
  GlobalHotKeys(const GlobalHotKeys&) = delete;
  GlobalHotKeys& operator=(const GlobalHotKeys&) = delete;

  // XDG_SESSION_TYPE is "wayland" or WAYLAND_DISPLAY is set (also when the
  // windows go through XWayland).
  static bool InWaylandSession();

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  // The commands whose key is grabbed system-wide.
  std::vector<RecorderCommand> GrabbedCommands() const;
  Mechanism InUse() const;
  // One line for the about box and the log, e.g. "Hot keys F5, F7, F8, F9: system-wide (X11)",
  // naming the keys another program holds ("; F8: in this window only").
  QString Description() const;

 private:
  struct Key {
    RecorderCommand command;
    unsigned keysym;
    unsigned char keycode = 0;
    bool grabbed = false;
    QShortcut* shortcut = nullptr;
  };
  void OpenX11();
  void GrabAll();
  bool GrabX11(Key& key);
  void UngrabX11(const Key& key);
  void AddShortcut(Key& key);
  void Log() const;

  QWidget* window_;
  std::function<void(RecorderCommand)> onKey_;
  std::vector<Key> keys_;
  std::unique_ptr<PortalShortcuts> portal_;
  void* connection_ = nullptr;  // xcb_connection_t*
  unsigned root_ = 0;
  std::vector<uint16_t> lockMasks_;
  HeldKeys held_;
};

}  // namespace tarnovox
