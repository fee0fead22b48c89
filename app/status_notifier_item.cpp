#include "app/status_notifier_item.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusServiceWatcher>
#include <QImage>
#include <QMenu>
#include <QtEndian>

#include "app/dbus_structure.h"

namespace tarnovox {

namespace {

void RegisterTypes() {
  static const bool registered = [] {
    qDBusRegisterMetaType<DBusIconPixmap>();
    qDBusRegisterMetaType<QList<DBusIconPixmap>>();
    qDBusRegisterMetaType<DBusToolTip>();
    return true;
  }();
  (void)registered;
}

}  // namespace

bool StatusNotifierItem::WatcherPresent() {
  const QDBusConnection bus = QDBusConnection::sessionBus();
  return bus.isConnected() && bus.interface()->isServiceRegistered(kWatcher).value();
}

QList<DBusIconPixmap> StatusNotifierItem::Pixmaps(const QIcon& icon) {
  QList<DBusIconPixmap> pixmaps;
  for (const int size : {16, 22, 32, 48, 64}) {
    const QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    DBusIconPixmap pixmap{image.width(), image.height(), {}};
    pixmap.argb.resize(qsizetype(image.width()) * image.height() * 4);
    auto* out = reinterpret_cast<uchar*>(pixmap.argb.data());
    for (int y = 0; y < image.height(); ++y) {
      const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
      for (int x = 0; x < image.width(); ++x, out += 4) qToBigEndian(line[x], out);
    }
    pixmaps.append(pixmap);
  }
  return pixmaps;
}

StatusNotifierItem::StatusNotifierItem(QObject* parent)
    : QObject(parent),
      busName_(QString("org.kde.StatusNotifierItem-%1-1").arg(QCoreApplication::applicationPid())) {
  RegisterTypes();
  new StatusNotifierItemAdaptor(this);
}

StatusNotifierItem::~StatusNotifierItem() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.unregisterObject(kPath);
  bus.unregisterService(busName_);
}

void StatusNotifierItem::Show(QMenu* menu, std::function<void()> activated) {
  menu_ = menu;
  activated_ = std::move(activated);
  QDBusConnection bus = QDBusConnection::sessionBus();
  dbusMenu_ = std::make_unique<DBusMenu>(menu);
  if (!bus.registerObject(kPath, this, QDBusConnection::ExportAdaptors) || !bus.registerService(busName_)) return;
  // A panel started or restarted later takes the item as well.
  watcherWatch_ = std::make_unique<QDBusServiceWatcher>(kWatcher, bus, QDBusServiceWatcher::WatchForRegistration);
  connect(watcherWatch_.get(), &QDBusServiceWatcher::serviceRegistered, this, &StatusNotifierItem::Register);
  Register();
}

void StatusNotifierItem::Register() {
  constexpr int kAnswerTimeoutMs = 1000;
  QDBusMessage call = QDBusMessage::createMethodCall(kWatcher, "/StatusNotifierWatcher", kWatcher,
                                                     "RegisterStatusNotifierItem");
  call << busName_;
  // Nothing waits for the answer: a panel that does not answer shows no icon.
  QDBusConnection::sessionBus().asyncCall(call, kAnswerTimeoutMs);
}

QString StatusNotifierItem::StatusName() const {
  return status_ == PanelStatus::NeedsAttention ? "NeedsAttention" : "Active";
}

void StatusNotifierItem::SetPicture(const QIcon& picture) {
  picture_ = Pixmaps(picture);
  emit pictureChanged();
}

void StatusNotifierItem::SetToolTip(const QString& title, const QString& text) {
  toolTipTitle_ = title;
  toolTipText_ = text;
  emit toolTipChanged();
}

void StatusNotifierItem::SetStatus(PanelStatus status) {
  status_ = status;
  emit statusChanged(StatusName());
}

void StatusNotifierItem::Activate() {
  if (activated_) QMetaObject::invokeMethod(this, activated_, Qt::QueuedConnection);
}

void StatusNotifierItem::ShowMenuAt(int x, int y) {
  if (!menu_) return;
  QMetaObject::invokeMethod(menu_, [menu = menu_, x, y] { menu->popup(QPoint(x, y)); }, Qt::QueuedConnection);
}

StatusNotifierItemAdaptor::StatusNotifierItemAdaptor(StatusNotifierItem* item)
    : QDBusAbstractAdaptor(item), item_(item) {
  connect(item, &StatusNotifierItem::statusChanged, this, &StatusNotifierItemAdaptor::NewStatus);
  connect(item, &StatusNotifierItem::pictureChanged, this, &StatusNotifierItemAdaptor::NewIcon);
  connect(item, &StatusNotifierItem::pictureChanged, this, &StatusNotifierItemAdaptor::NewAttentionIcon);
  connect(item, &StatusNotifierItem::toolTipChanged, this, &StatusNotifierItemAdaptor::NewToolTip);
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusIconPixmap& pixmap) {
  return WriteStructure(argument, pixmap.width, pixmap.height, pixmap.argb);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusIconPixmap& pixmap) {
  return ReadStructure(argument, pixmap.width, pixmap.height, pixmap.argb);
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusToolTip& toolTip) {
  return WriteStructure(argument, toolTip.iconName, toolTip.pixmaps, toolTip.title, toolTip.text);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusToolTip& toolTip) {
  return ReadStructure(argument, toolTip.iconName, toolTip.pixmaps, toolTip.title, toolTip.text);
}

}  // namespace tarnovox
