#pragma once
// F5, F7 and F9 as system-wide keys: passive X11 key grabs on the root window
// (also with NumLock and CapsLock on), whose presses arrive through a native
// event filter. A key that cannot be grabbed (not on X11, or another program
// holds it) still acts while the main window has the focus. The grabs are
// released on destruction.
#include <QAbstractNativeEventFilter>
#include <QList>
#include <functional>
#include <vector>

class QShortcut;
class QWidget;

namespace tarnovox {

class GlobalHotKeys final : public QAbstractNativeEventFilter {
 public:
  // onHotKey receives 101 (F5), 102 (F7) or 103 (F9).
  GlobalHotKeys(QWidget* window, std::function<void(int)> onHotKey);
  ~GlobalHotKeys() override;
  GlobalHotKeys(const GlobalHotKeys&) = delete;
  GlobalHotKeys& operator=(const GlobalHotKeys&) = delete;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  // Hot key ids whose key is grabbed system-wide.
  std::vector<int> GrabbedIds() const;

 private:
  struct Key {
    int id;
    unsigned keysym;
    unsigned char keycode = 0;
    bool grabbed = false;
  };
  bool GrabX11(Key& key);
  void UngrabX11(const Key& key);
  void AddShortcut(QWidget* window, const Key& key);

  std::function<void(int)> onHotKey_;
  std::vector<Key> keys_;
  QList<QShortcut*> shortcuts_;
  void* connection_ = nullptr;  // xcb_connection_t*
  unsigned root_ = 0;
  std::vector<uint16_t> lockMasks_;
};

}  // namespace tarnovox
