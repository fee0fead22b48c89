#pragma once
// StatusNotifierItem: the program's icon on a panel that speaks the
// StatusNotifierItem protocol over the session bus. The item takes a bus name
// of its own, offers org.kde.StatusNotifierItem at /StatusNotifierItem and its
// menu at /MenuBar, and registers with the panel's watcher, again whenever a
// watcher (a restarted panel) appears. Each change is announced by the
// protocol's signals, so the panel shows it at once.
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QList>
#include <QObject>
#include <memory>

#include "app/dbus_menu.h"
#include "ui/panel_icon.h"

class QDBusServiceWatcher;

namespace tarnovox {

// A picture of the icon: width, height, then ARGB pixels, each in network
// byte order: (iiay).
struct DBusIconPixmap {
  int width = 0;
  int height = 0;
  QByteArray argb;
};
// The tooltip: icon name, pictures, title, text: (sa(iiay)ss).
struct DBusToolTip {
  QString iconName;
  QList<DBusIconPixmap> pixmaps;
  QString title;
  QString text;
};

class StatusNotifierItem : public QObject, public PanelIcon {
  Q_OBJECT

 public:
  static constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";
  static constexpr const char* kPath = "/StatusNotifierItem";

  // True when a panel's watcher is on the session bus now.
  static bool WatcherPresent();
  // The pictures of `icon` the panel picks from, in the protocol's form.
  static QList<DBusIconPixmap> Pixmaps(const QIcon& icon);

  explicit StatusNotifierItem(QObject* parent = nullptr);
  ~StatusNotifierItem() override;

  void Show(QMenu* menu, std::function<void()> activated) override;
  void SetPicture(const QIcon& picture) override;
  void SetToolTip(const QString& title, const QString& text) override;
  void SetStatus(PanelStatus status) override;

  // What the panel reads.
  QString StatusName() const;
  const QList<DBusIconPixmap>& Picture() const { return picture_; }
  DBusToolTip ToolTip() const { return {QString(), {}, toolTipTitle_, toolTipText_}; }
  // The user clicked the icon itself.
  void Activate();
  // A panel that draws no menu of its own asks for ours at (x, y).
  void ShowMenuAt(int x, int y);

 signals:
  void statusChanged(const QString& status);
  void pictureChanged();
  void toolTipChanged();

 private:
  void Register();

  QString busName_;
  QMenu* menu_ = nullptr;
  std::unique_ptr<DBusMenu> dbusMenu_;
  std::unique_ptr<QDBusServiceWatcher> watcherWatch_;
  std::function<void()> activated_;
  QList<DBusIconPixmap> picture_;
  QString toolTipTitle_;
  QString toolTipText_;
  PanelStatus status_ = PanelStatus::Active;
};

// The org.kde.StatusNotifierItem interface of a StatusNotifierItem.
class StatusNotifierItemAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
  Q_PROPERTY(QString Category READ Category)
  Q_PROPERTY(QString Id READ Id)
  Q_PROPERTY(QString Title READ Title)
  Q_PROPERTY(QString Status READ Status)
  Q_PROPERTY(int WindowId READ WindowId)
  Q_PROPERTY(QString IconThemePath READ NoName)
  Q_PROPERTY(QString IconName READ NoName)
  Q_PROPERTY(QList<tarnovox::DBusIconPixmap> IconPixmap READ IconPixmap)
  Q_PROPERTY(QString OverlayIconName READ NoName)
  Q_PROPERTY(QList<tarnovox::DBusIconPixmap> OverlayIconPixmap READ NoPixmap)
  Q_PROPERTY(QString AttentionIconName READ NoName)
  Q_PROPERTY(QList<tarnovox::DBusIconPixmap> AttentionIconPixmap READ IconPixmap)
  Q_PROPERTY(QString AttentionMovieName READ NoName)
  Q_PROPERTY(tarnovox::DBusToolTip ToolTip READ ToolTip)
  Q_PROPERTY(bool ItemIsMenu READ ItemIsMenu)
  Q_PROPERTY(QDBusObjectPath Menu READ Menu)

 public:
  explicit StatusNotifierItemAdaptor(StatusNotifierItem* item);

  QString Category() const { return "ApplicationStatus"; }
  QString Id() const { return "tarnovox"; }
  QString Title() const { return "Tarnovox"; }
  QString Status() const { return item_->StatusName(); }
  int WindowId() const { return 0; }
  QString NoName() const { return {}; }
  QList<DBusIconPixmap> IconPixmap() const { return item_->Picture(); }
  QList<DBusIconPixmap> NoPixmap() const { return {}; }
  DBusToolTip ToolTip() const { return item_->ToolTip(); }
  // A click on the icon shows the window; the menu is for the other button.
  bool ItemIsMenu() const { return false; }
  QDBusObjectPath Menu() const { return QDBusObjectPath(DBusMenu::kPath); }

 public slots:
  void ContextMenu(int x, int y) { item_->ShowMenuAt(x, y); }
  void Activate(int, int) { item_->Activate(); }
  void SecondaryActivate(int, int) {}
  void Scroll(int, const QString&) {}

 signals:
  void NewTitle();
  void NewIcon();
  void NewAttentionIcon();
  void NewOverlayIcon();
  void NewToolTip();
  void NewStatus(const QString& status);

 private:
  StatusNotifierItem* item_;
};

QDBusArgument& operator<<(QDBusArgument& argument, const DBusIconPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusIconPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusToolTip& toolTip);

}  // namespace tarnovox

Q_DECLARE_METATYPE(tarnovox::DBusIconPixmap)
Q_DECLARE_METATYPE(tarnovox::DBusToolTip)
