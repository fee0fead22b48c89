#pragma once
// Record, Pause and Stop as shortcuts of the desktop's GlobalShortcuts portal
// (org.freedesktop.portal.GlobalShortcuts on the session bus): one session,
// the three shortcuts bound with F5, F7 and F9 as preferred triggers. The
// desktop may let the user pick other keys or refuse; once bound, the
// Activated signals of this session reach onCommand as the recorder's
// commands, once per press (repeats while a key is held are dropped until its
// Deactivated). When the desktop closes the session, the shortcuts are bound
// again at once; when the portal service goes away, again when it returns. The
// session is closed on destruction.
#include <QObject>
#include <QString>
#include <functional>

#include "app/held_keys.h"
#include "recorder/recorder_command.h"

class QDBusMessage;
class QDBusPendingCallWatcher;
class QDBusServiceWatcher;
class QTimer;

namespace tarnovox {

class PortalShortcuts final : public QObject {
  Q_OBJECT

 public:
  enum class State { Starting, Bound, Failed };

  // onCommand receives Record, Pause or Stop. onStateChanged is called with
  // Bound or Failed once the first binding settles, with Starting when the
  // session is lost and bound again, then with Bound, or Failed once when that
  // does not succeed (or the portal does not return within a few seconds);
  // Failed is final. parentWindow is the portal's window identifier for its
  // dialog ("x11:1c00003", or empty).
  PortalShortcuts(QString parentWindow, std::function<void(RecorderCommand)> onCommand,
                  std::function<void(State)> onStateChanged);
  ~PortalShortcuts() override;
  PortalShortcuts(const PortalShortcuts&) = delete;
  PortalShortcuts& operator=(const PortalShortcuts&) = delete;

  // Asks for the interface's version, then creates the session and binds the
  // shortcuts; returns at once. Without a session bus or a portal that offers
  // the interface, it settles Failed from the event loop.
  void Start();
  State state() const { return state_; }
  // Why the portal is not used, for the log; empty unless Failed.
  QString Error() const { return error_; }

 private slots:
  void OnResponse(const QDBusMessage& signal);
  void OnActivated(const QDBusMessage& signal);
  void OnDeactivated(const QDBusMessage& signal);
  void OnSessionClosed(const QDBusMessage& signal);

 private:
  enum class Step { Version, CreateSession, Bind, Done };
  void Watch();
  void Unwatch();
  void AskVersion();
  // The bound session is gone: waits for the portal to return when it went
  // away with it, else binds again at once.
  void Lost(bool portalGone);
  void OnOwnerChanged(const QString& oldOwner, const QString& newOwner);
  // The shortcut's index in the list of shortcuts, or -1.
  int ShortcutOf(const QDBusMessage& signal) const;
  QString Token() const;
  void CreateSession();
  void Bind();
  // Sends a portal method whose result arrives as the Response signal of a
  // request object named after token.
  void Request(Step step, const QString& method, const QList<QVariant>& arguments, const QString& token);
  void WhenAnswered(QDBusPendingCallWatcher* watcher, std::function<void(const QDBusMessage&)> onReply);
  void Fail(const QString& why);

  QString parentWindow_;
  std::function<void(RecorderCommand)> onCommand_;
  std::function<void(State)> onStateChanged_;
  State state_ = State::Starting;
  // Counts the bindings begun: answers to an earlier one are ignored.
  int attempt_ = 0;
  bool everBound_ = false;
  QDBusServiceWatcher* watcher_ = nullptr;
  QTimer* comeBack_ = nullptr;  // how long a portal that went away is waited for
  HeldKeys held_;
  Step step_ = Step::Version;
  QString request_;  // the request object whose Response is awaited
  QString session_;
  QString error_;
};

}  // namespace tarnovox
