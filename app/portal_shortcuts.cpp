#include "app/portal_shortcuts.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QTimer>

namespace {

// One element of the portal's a(sa{sv}) shortcut lists.
struct PortalShortcut {
  QString id;
  QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
  argument.beginStructure();
  argument << shortcut.id << shortcut.properties;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
  argument.beginStructure();
  argument >> shortcut.id >> shortcut.properties;
  argument.endStructure();
  return argument;
}

}  // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace tarnovox {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
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

}  // namespace

PortalShortcuts::PortalShortcuts(QString parentWindow, std::function<void(RecorderCommand)> onCommand,
                                 std::function<void(State)> onSettled)
    : parentWindow_(std::move(parentWindow)), onCommand_(std::move(onCommand)), onSettled_(std::move(onSettled)) {
  qDBusRegisterMetaType<PortalShortcut>();
  qDBusRegisterMetaType<QList<PortalShortcut>>();
}

PortalShortcuts::~PortalShortcuts() {
  if (session_.isEmpty()) return;
  Bus().send(QDBusMessage::createMethodCall(kService, session_, "org.freedesktop.portal.Session", "Close"));
}

void PortalShortcuts::Start() {
  if (!Bus().isConnected()) {
    // Settled from the event loop, as every other outcome is.
    QTimer::singleShot(0, this, [this] { Fail("no session bus"); });
    return;
  }
  // Every request path, so that also a request the portal named otherwise is heard.
  Bus().connect(kService, QString(), kRequestInterface, "Response", this, SLOT(OnResponse(QDBusMessage)));
  Bus().connect(kService, kPath, kInterface, "Activated", this, SLOT(OnActivated(QDBusMessage)));
  QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, "org.freedesktop.DBus.Properties", "Get");
  get << kInterface << QStringLiteral("version");
  WhenAnswered(new QDBusPendingCallWatcher(Bus().asyncCall(get), this), [this](const QDBusMessage& reply) {
    const uint version = reply.arguments().value(0).value<QDBusVariant>().variant().toUInt();
    if (version < 1) return Fail("the portal has no GlobalShortcuts interface");
    CreateSession();
  });
}

void PortalShortcuts::CreateSession() {
  const QVariantMap options{{"handle_token", kToken + "_session"}, {"session_handle_token", kToken}};
  Request(Step::CreateSession, "CreateSession", {options}, kToken + "_session");
}

void PortalShortcuts::Bind() {
  QList<PortalShortcut> shortcuts;
  for (const ShortcutSpec& spec : kShortcuts) {
    shortcuts.append({spec.id, {{"description", QString(spec.description)}, {"preferred_trigger", QString(spec.trigger)}}});
  }
  const QVariantMap options{{"handle_token", kToken + "_bind"}};
  Request(Step::Bind, "BindShortcuts",
          {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts), parentWindow_, options},
          kToken + "_bind");
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
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, onReply](QDBusPendingCallWatcher* call) {
    call->deleteLater();
    const QDBusMessage reply = call->reply();
    if (state_ != State::Starting) return;
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
  onSettled_(state_);
}

void PortalShortcuts::OnActivated(const QDBusMessage& signal) {
  if (state_ != State::Bound || PathText(signal.arguments().value(0)) != session_) return;
  const QString id = signal.arguments().value(1).toString();
  for (const ShortcutSpec& spec : kShortcuts) {
    if (id == spec.id) onCommand_(spec.command);
  }
}

void PortalShortcuts::Fail(const QString& why) {
  if (state_ != State::Starting) return;
  state_ = State::Failed;
  error_ = why;
  Bus().disconnect(kService, QString(), kRequestInterface, "Response", this, SLOT(OnResponse(QDBusMessage)));
  Bus().disconnect(kService, kPath, kInterface, "Activated", this, SLOT(OnActivated(QDBusMessage)));
  onSettled_(state_);
}

}  // namespace tarnovox
