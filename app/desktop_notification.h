#pragma once
// A desktop notification through the session's notification service
// (org.freedesktop.Notifications). The call is sent without waiting for its
// answer, which may take up to a second to time out: with no service or a
// hanging one nothing is shown and the window thread goes on.
#include <QString>

namespace tarnovox {

void SendDesktopNotification(const QString& summary);

}  // namespace tarnovox
