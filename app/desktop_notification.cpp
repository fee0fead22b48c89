#include "app/desktop_notification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QStringList>
#include <QVariantMap>

namespace tarnovox {

void SendDesktopNotification(const QString& summary) {
  constexpr int kAnswerTimeoutMs = 1000;
  QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                                                     "org.freedesktop.Notifications", "Notify");
  // Application name, no notification replaced, the program's icon by name,
  // summary, no body, no actions, no hints, the server's own expiry.
  call << QString("Tarnovox") << 0u << QString("tarnovox") << summary << QString() << QStringList() << QVariantMap()
       << -1;
  // The answer (its id, or an error) is of no use: the pending call is dropped.
  QDBusConnection::sessionBus().asyncCall(call, kAnswerTimeoutMs);
}

}  // namespace tarnovox
