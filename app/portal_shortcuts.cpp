#include "app/portal_shortcuts.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QTimer>
#include <iterator>

#include "app/dbus_structure.h"

namespace {

// One element of the portal's a(sa{sv}) shortcut lists.
struct PortalShortcut {
  QString id;
  QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
  return tarnovox::WriteStructure(argument, shortcut.id, shortcut.properties);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
  return tarnovox::ReadStructure(argument, shortcut.id, shortcut.properties);
}

}  // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace tarnovox {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString kSessionInterface = QStringLiteral("org.freedesktop.portal.Session");
// A portal restarted by the desktop is back within a second or two.
constexpr int kComeBackMs = 10000;
const QString kToken = QStringLiteral("tarnovox");

struct ShortcutSpec {
  RecorderCommand command;
  const char* id;
  const char* description;
  const char* trigger;
};
constexpr ShortcutSpec kShortcuts[] = {
    {RecorderCommand::Record, "record", "Record", "F5"},
    {RecorderCommand::Pause, "pause", "Pause / Resume", "F7"},
    {RecorderCommand::Stop, "stop", "Stop", "F9"},
    {RecorderCommand::Mark, "mark", "Mark", "F8"},
};

QDBusConnection Bus() { return QDBusConnection::sessionBus(); }

// The portal names a request object after the caller's unique bus name and
// the token, so the Response can be listened for before the call is made.
QString RequestPath(const QString& token) {
  QString sender = Bus().baseService().mid(1);
  sender.replace('.', '_');
  return kPath + "/request/" + sender + "/" + token;
}

// Portals send the session handle as an object path or, in older versions, as a string.
QString PathText(const QVariant& value) {
  return value.canConvert<QDBusObjectPath>() ? value.value<QDBusObjectPath>().path() : value.toString();
}

bool PortalGone(const QDBusMessage& error) {
  return error.errorName() == "org.freedesktop.DBus.Error.ServiceUnknown" ||
         error.errorName() == "org.freedesktop.DBus.Error.NoReply";
}

}  // namespace

PortalShortcuts::PortalShortcuts(QString parentWindow, std::function<void(RecorderCommand)> onCommand,
                                 std::function<void(State)> onStateChanged)
    : parentWindow_(std::move(parentWindow)),
      onCommand_(std::move(onCommand)),
      onStateChanged_(std::move(onStateChanged)) {
  qDBusRegisterMetaType<PortalShortcut>();
  qDBusRegisterMetaType<QList<PortalShortcut>>();
}

PortalShortcuts::~PortalShortcuts() {
  if (session_.isEmpty()) return;
  Bus().send(QDBusMessage::createMethodCall(kService, session_, kSessionInterface, "Close"));
}

void PortalShortcuts::Start() {
  if (!Bus().isConnected()) {
    // Settled from the event loop, as every other outcome is.
    QTimer::singleShot(0, this, [this] { Fail("no session bus"); });
    return;
  }
  Watch();
  AskVersion();
}

void PortalShortcuts::Watch() {
  // Every request path, so that also a request the portal named otherwise is heard.
  Bus().connect(kService, QString(), kRequestInterface, "Response", this, SLOT(OnResponse(QDBusMessage)));
  Bus().connect(kService, kPath, kInterface, "Activated", this, SLOT(OnActivated(QDBusMessage)));
  Bus().connect(kService, kPath, kInterface, "Deactivated", this, SLOT(OnDeactivated(QDBusMessage)));
  Bus().connect(kService, QString(), kSessionInterface, "Closed", this, SLOT(OnSessionClosed(QDBusMessage)));
  watcher_ = new QDBusServiceWatcher(kService, Bus(), QDBusServiceWatcher::WatchForOwnerChange, this);
  connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
          [this](const QString&, const QString& oldOwner, const QString& newOwner) {
            OnOwnerChanged(oldOwner, newOwner);
          });
  comeBack_ = new QTimer(this);
  comeBack_->setSingleShot(true);
  connect(comeBack_, &QTimer::timeout, this, [this] { Fail("the portal went away and did not come back"); });
}

void PortalShortcuts::Unwatch() {
  Bus().disconnect(kService, QString(), kRequestInterface, "Response", this, SLOT(OnResponse(QDBusMessage)));
  Bus().disconnect(kService, kPath, kInterface, "Activated", this, SLOT(OnActivated(QDBusMessage)));
  Bus().disconnect(kService, kPath, kInterface, "Deactivated", this, SLOT(OnDeactivated(QDBusMessage)));
  Bus().disconnect(kService, QString(), kSessionInterface, "Closed", this, SLOT(OnSessionClosed(QDBusMessage)));
  delete watcher_;
  watcher_ = nullptr;
  if (comeBack_ != nullptr) comeBack_->stop();
}

void PortalShortcuts::AskVersion() {
  ++attempt_;
  step_ = Step::Version;
  QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, "org.freedesktop.DBus.Properties", "Get");
  get << kInterface << QStringLiteral("version");
  WhenAnswered(new QDBusPendingCallWatcher(Bus().asyncCall(get), this), [this](const QDBusMessage& reply) {
    const uint version = reply.arguments().value(0).value<QDBusVariant>().variant().toUInt();
    if (version < 1) return Fail("the portal has no GlobalShortcuts interface");
    CreateSession();
  });
}

void PortalShortcuts::Lost(bool portalGone) {
  session_.clear();
  held_ = HeldKeys();
  if (state_ != State::Starting) {
    state_ = State::Starting;
    onStateChanged_(state_);
  }
  if (portalGone) {
    ++attempt_;  // what the gone portal still had to answer does not count
    step_ = Step::Version;
    comeBack_->start(kComeBackMs);
  } else {
    AskVersion();
  }
}

void PortalShortcuts::OnOwnerChanged(const QString& oldOwner, const QString& newOwner) {
  if (state_ == State::Failed) return;
  // The process that held the session is gone; a new one knows nothing of it.
  if (!oldOwner.isEmpty()) Lost(true);
  if (newOwner.isEmpty()) return;
  comeBack_->stop();
  AskVersion();
}

void PortalShortcuts::OnSessionClosed(const QDBusMessage& signal) {
  if (state_ != State::Bound || signal.path() != session_) return;
  Lost(false);
}

// A binding again gets object names of its own: the portal may still hold the earlier ones.
QString PortalShortcuts::Token() const { return attempt_ > 1 ? kToken + QString::number(attempt_) : kToken; }

void PortalShortcuts::CreateSession() {
  const QVariantMap options{{"handle_token", Token() + "_session"}, {"session_handle_token", Token()}};
  Request(Step::CreateSession, "CreateSession", {options}, Token() + "_session");
}

void PortalShortcuts::Bind() {
  QList<PortalShortcut> shortcuts;
  for (const ShortcutSpec& spec : kShortcuts) {
    shortcuts.append({spec.id, {{"description", QString(spec.description)}, {"preferred_trigger", QString(spec.trigger)}}});
  }
  const QVariantMap options{{"handle_token", Token() + "_bind"}};
  Request(Step::Bind, "BindShortcuts",
          {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts), parentWindow_, options},
          Token() + "_bind");
}

void PortalShortcuts::Request(Step step, const QString& method, const QList<QVariant>& arguments,
                              const QString& token) {
  step_ = step;
  request_ = RequestPath(token);
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
  call.setArguments(arguments);
  WhenAnswered(new QDBusPendingCallWatcher(Bus().asyncCall(call), this), [this, step](const QDBusMessage& reply) {
    // Unless the Response came first and the next step has begun.
    if (step_ == step) request_ = reply.arguments().value(0).value<QDBusObjectPath>().path();
  });
}

void PortalShortcuts::WhenAnswered(QDBusPendingCallWatcher* watcher,
                                   std::function<void(const QDBusMessage&)> onReply) {
  const int attempt = attempt_;
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, onReply, attempt](QDBusPendingCallWatcher* call) {
    call->deleteLater();
    const QDBusMessage reply = call->reply();
    if (state_ != State::Starting || attempt != attempt_) return;
    // A portal that closes the session as it quits may be gone before it answers the new one:
    // its return is waited for.
    if (reply.type() == QDBusMessage::ErrorMessage && everBound_ && PortalGone(reply)) return Lost(true);
    if (reply.type() == QDBusMessage::ErrorMessage) return Fail(reply.errorMessage());
    onReply(reply);
  });
}

void PortalShortcuts::OnResponse(const QDBusMessage& signal) {
  if (state_ != State::Starting || signal.path() != request_) return;
  const uint code = signal.arguments().value(0).toUInt();
  const auto results = qdbus_cast<QVariantMap>(signal.arguments().value(1));
  // 1: the user dismissed the portal's dialog; 2: the desktop refused.
  if (code != 0) return Fail(code == 1 ? "the shortcuts were declined" : "the portal refused the shortcuts");
  if (step_ == Step::CreateSession) {
    session_ = PathText(results.value("session_handle"));
    if (session_.isEmpty()) return Fail("the portal gave no session");
    Bind();
    return;
  }
  step_ = Step::Done;
  state_ = State::Bound;
  everBound_ = true;
  onStateChanged_(state_);
}

int PortalShortcuts::ShortcutOf(const QDBusMessage& signal) const {
  if (state_ != State::Bound || PathText(signal.arguments().value(0)) != session_) return -1;
  const QString id = signal.arguments().value(1).toString();
  for (int i = 0; i < static_cast<int>(std::size(kShortcuts)); ++i) {
    if (id == kShortcuts[i].id) return i;
  }
  return -1;
}

void PortalShortcuts::OnActivated(const QDBusMessage& signal) {
  const int shortcut = ShortcutOf(signal);
  const quint64 time = signal.arguments().value(2).toULongLong();
  if (shortcut >= 0 && held_.Press(shortcut, time)) onCommand_(kShortcuts[shortcut].command);
}

void PortalShortcuts::OnDeactivated(const QDBusMessage& signal) {
  const int shortcut = ShortcutOf(signal);
  if (shortcut >= 0) held_.Release(shortcut, signal.arguments().value(2).toULongLong());
}

void PortalShortcuts::Fail(const QString& why) {
  if (state_ != State::Starting) return;
  state_ = State::Failed;
  error_ = why;
  Unwatch();
  onStateChanged_(state_);
}

}  // namespace tarnovox
