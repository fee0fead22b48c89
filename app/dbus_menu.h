#pragma once
// DBusMenu: a QMenu's entries offered to the desktop's panel over the session
// bus (com.canonical.dbusmenu), so that the panel draws the menu itself and
// sends back the entry the user chose. Entries are numbered 1, 2, ... in the
// menu's order; a click on one triggers its QAction on the window thread.
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

class QAction;
class QMenu;

namespace tarnovox {

// One entry and its properties: (ia{sv}).
struct DBusMenuItem {
  int id = 0;
  QVariantMap properties;
};
// An entry with its children, each sent as a variant: (ia{sv}av).
struct DBusMenuLayoutItem {
  int id = 0;
  QVariantMap properties;
  QList<DBusMenuLayoutItem> children;
};
// An entry and the names of its properties that went away: (ias).
struct DBusMenuItemKeys {
  int id = 0;
  QStringList properties;
};
// One event of a group: (isvu).
struct DBusMenuEvent {
  int id = 0;
  QString eventId;
  QDBusVariant data;
  uint timestamp = 0;
};

class DBusMenu : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kPath = "/MenuBar";

  // Offers `menu` at kPath on the session bus.
  explicit DBusMenu(QMenu* menu, QObject* parent = nullptr);

  // The root (id 0) and its entries, to `depth` levels (-1: all).
  DBusMenuLayoutItem Layout(int id, int depth, const QStringList& names) const;
  DBusMenuItem Item(int id, const QStringList& names) const;
  // "clicked" on an entry triggers it once the event loop runs again, after the
  // panel had its answer; returns false for an unknown entry.
  bool Event(int id, const QString& eventId);
  // The entries are fixed once offered: the layout's revision stays the same.
  static constexpr uint kRevision = 1;

 private:
  QAction* ActionOf(int id) const;

  QPointer<QMenu> menu_;
};

// The com.canonical.dbusmenu interface of a DBusMenu.
class DBusMenuAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
  Q_PROPERTY(uint Version READ Version)
  Q_PROPERTY(QString TextDirection READ TextDirection)
  Q_PROPERTY(QString Status READ Status)
  Q_PROPERTY(QStringList IconThemePath READ IconThemePath)

 public:
  explicit DBusMenuAdaptor(DBusMenu* menu);

  uint Version() const { return 3; }
  QString TextDirection() const { return "ltr"; }
  QString Status() const { return "normal"; }
  QStringList IconThemePath() const { return {}; }

 // Our types are spelled in full below: the bus finds a slot's types by name.
 public slots:
  uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                 tarnovox::DBusMenuLayoutItem& layout);
  QList<tarnovox::DBusMenuItem> GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames);
  QDBusVariant GetProperty(int id, const QString& name);
  void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
  QList<int> EventGroup(const QList<tarnovox::DBusMenuEvent>& events);
  bool AboutToShow(int id);
  QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

 signals:
  void ItemsPropertiesUpdated(const QList<tarnovox::DBusMenuItem>& updatedProps,
                              const QList<tarnovox::DBusMenuItemKeys>& removedProps);
  void LayoutUpdated(uint revision, int parent);
  void ItemActivationRequested(int id, uint timestamp);

 private:
  DBusMenu* menu_;
};

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& keys);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& keys);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event);

}  // namespace tarnovox

Q_DECLARE_METATYPE(tarnovox::DBusMenuItem)
Q_DECLARE_METATYPE(tarnovox::DBusMenuLayoutItem)
Q_DECLARE_METATYPE(tarnovox::DBusMenuItemKeys)
Q_DECLARE_METATYPE(tarnovox::DBusMenuEvent)
