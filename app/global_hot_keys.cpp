#include "app/global_hot_keys.h"

#include <QDebug>
#include <QGuiApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>
#include <QStringList>
#include <memory>

#include "app/portal_shortcuts.h"

// X11 headers after Qt's: they define None, KeyPress and Bool.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace tarnovox {
namespace {

xcb_connection_t* Xcb(void* connection) { return static_cast<xcb_connection_t*>(connection); }

// The modifier bit that NumLock sets on this display (usually Mod2).
uint16_t NumLockMask(Display* display) {
  XModifierKeymap* map = XGetModifierMapping(display);
  if (map == nullptr) return 0;
  const KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
  uint16_t mask = 0;
  for (int modifier = 0; modifier < 8 && numLock != 0; ++modifier) {
    for (int i = 0; i < map->max_keypermod; ++i) {
      if (map->modifiermap[modifier * map->max_keypermod + i] == numLock) mask = static_cast<uint16_t>(1 << modifier);
    }
  }
  XFreeModifiermap(map);
  return mask;
}

}  // namespace

GlobalHotKeys::GlobalHotKeys(QWidget* window, std::function<void(RecorderCommand)> onKey, bool portalFirst)
    : window_(window),
      onKey_(std::move(onKey)),
      keys_{{RecorderCommand::Record, XK_F5},
            {RecorderCommand::Pause, XK_F7},
            {RecorderCommand::Mark, XK_F8},
            {RecorderCommand::Stop, XK_F9}} {
  OpenX11();
  if (!portalFirst) {
    GrabAll();
    Log();
    return;
  }
  for (Key& key : keys_) AddShortcut(key);
  // The portal's dialog, if the desktop shows one, belongs to our window.
  const QString parent = connection_ != nullptr ? QString("x11:%1").arg(window->winId(), 0, 16) : QString();
  // Called again when the portal's session is lost and bound anew; Failed comes once.
  portal_ = std::make_unique<PortalShortcuts>(parent, onKey_, [this](PortalShortcuts::State state) {
    if (state == PortalShortcuts::State::Failed) {
      qInfo().noquote() << "Tarnovox: no desktop global shortcuts:" << portal_->Error();
      GrabAll();
    }
    Log();
  });
  portal_->Start();
}

GlobalHotKeys::~GlobalHotKeys() {
  if (connection_ == nullptr) return;
  qApp->removeNativeEventFilter(this);
  for (const Key& key : keys_) {
    if (key.grabbed) UngrabX11(key);
  }
  xcb_flush(Xcb(connection_));
}

bool GlobalHotKeys::InWaylandSession() {
  return qEnvironmentVariable("XDG_SESSION_TYPE") == "wayland" || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

// Without an X11 display (native Wayland) nothing is grabbed and the window
// shortcuts remain.
void GlobalHotKeys::OpenX11() {
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  Display* display = x11 != nullptr ? x11->display() : nullptr;
  if (display == nullptr || x11->connection() == nullptr) return;
  connection_ = x11->connection();
  root_ = xcb_setup_roots_iterator(xcb_get_setup(Xcb(connection_))).data->root;
  const uint16_t numLock = NumLockMask(display);
  lockMasks_ = {0, XCB_MOD_MASK_LOCK};
  if (numLock != 0) lockMasks_.insert(lockMasks_.end(), {numLock, static_cast<uint16_t>(numLock | XCB_MOD_MASK_LOCK)});
  for (Key& key : keys_) key.keycode = static_cast<unsigned char>(XKeysymToKeycode(display, key.keysym));
}

void GlobalHotKeys::GrabAll() {
  for (Key& key : keys_) {
    key.grabbed = connection_ != nullptr && key.keycode != 0 && GrabX11(key);
    // A grabbed key reaches the root window also while our window has the focus.
    if (key.grabbed) {
      delete key.shortcut;
      key.shortcut = nullptr;
    } else if (key.shortcut == nullptr) {
      AddShortcut(key);
    }
  }
  if (connection_ != nullptr) qApp->installNativeEventFilter(this);
}

bool GlobalHotKeys::GrabX11(Key& key) {
  // Checked requests: BadAccess means another program holds the key. Without
  // owner events every press reaches the root window, also while our own
  // window has the focus.
  bool ok = true;
  for (uint16_t mask : lockMasks_) {
    xcb_void_cookie_t cookie = xcb_grab_key_checked(Xcb(connection_), 0, root_, mask, key.keycode,
                                                     XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    std::unique_ptr<xcb_generic_error_t, decltype(&free)> error(xcb_request_check(Xcb(connection_), cookie), &free);
    if (error) ok = false;
  }
  if (!ok) UngrabX11(key);  // drop the variants that did succeed
  return ok;
}

void GlobalHotKeys::UngrabX11(const Key& key) {
  for (uint16_t mask : lockMasks_) xcb_ungrab_key(Xcb(connection_), key.keycode, root_, mask);
}

void GlobalHotKeys::AddShortcut(Key& key) {
  static const std::pair<unsigned, Qt::Key> kQtKeys[] = {
      {XK_F5, Qt::Key_F5}, {XK_F7, Qt::Key_F7}, {XK_F8, Qt::Key_F8}, {XK_F9, Qt::Key_F9}};
  for (const auto& [keysym, qtKey] : kQtKeys) {
    if (keysym != key.keysym) continue;
    key.shortcut = new QShortcut(QKeySequence(qtKey), window_);
    key.shortcut->setAutoRepeat(false);
    const RecorderCommand command = key.command;
    QObject::connect(key.shortcut, &QShortcut::activated, [this, command] { onKey_(command); });
  }
}

bool GlobalHotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  auto* event = static_cast<xcb_generic_event_t*>(message);
  const uint8_t type = event->response_type & 0x7f;
  if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
  // A release has the press's layout. The grab makes both arrive here.
  auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
  if (press->event != root_) return false;
  for (const Key& key : keys_) {
    if (!key.grabbed || key.keycode != press->detail) continue;
    if (type == XCB_KEY_RELEASE)
      held_.Release(key.keycode, press->time);
    else if (held_.Press(key.keycode, press->time))
      onKey_(key.command);
    return true;
  }
  return false;
}

std::vector<RecorderCommand> GlobalHotKeys::GrabbedCommands() const {
  std::vector<RecorderCommand> commands;
  for (const Key& key : keys_) {
    if (key.grabbed) commands.push_back(key.command);
  }
  return commands;
}

GlobalHotKeys::Mechanism GlobalHotKeys::InUse() const {
  if (portal_ != nullptr && portal_->state() == PortalShortcuts::State::Starting) return Mechanism::PortalStarting;
  if (portal_ != nullptr && portal_->state() == PortalShortcuts::State::Bound) return Mechanism::Portal;
  return GrabbedCommands().empty() ? Mechanism::WindowOnly : Mechanism::X11Grabs;
}

QString GlobalHotKeys::Description() const {
  switch (InUse()) {
    case Mechanism::PortalStarting: return "Hot keys: waiting for the desktop's shortcuts";
    case Mechanism::Portal: return "Hot keys: the desktop's global shortcuts";
    case Mechanism::WindowOnly: return "Hot keys F5, F7, F8, F9: in this window only";
    case Mechanism::X11Grabs: break;
  }
  QStringList grabbed;
  QStringList held;  // by another program: each works in our window only
  for (const Key& key : keys_) (key.grabbed ? grabbed : held) << QString("F%1").arg(key.keysym - XK_F1 + 1);
  QString text = QString("Hot keys %1: system-wide (X11)").arg(grabbed.join(", "));
  if (!held.isEmpty()) text += QString("; %1: in this window only").arg(held.join(", "));
  return text;
}

void GlobalHotKeys::Log() const { qInfo().noquote() << "Tarnovox:" << Description(); }

}  // namespace tarnovox
