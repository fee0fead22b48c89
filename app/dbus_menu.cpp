#include "app/dbus_menu.h"

#include <QAction>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QMenu>

#include "app/dbus_structure.h"

namespace tarnovox {

namespace {

// Qt marks a mnemonic with '&', the panel with '_'; a plain '_' is doubled.
QString MenuLabel(QString text) {
  text.replace('_', "__");
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (i + 1 < text.size() && text[i + 1] == '&')
      text.remove(i, 1);
    else
      text[i] = '_';
  }
  return text;
}

// Only the properties asked for, or all of them when none are named.
QVariantMap Only(const QVariantMap& all, const QStringList& names) {
  if (names.isEmpty()) return all;
  QVariantMap some;
  for (const QString& name : names)
    if (all.contains(name)) some.insert(name, all.value(name));
  return some;
}

QVariantMap PropertiesOf(const QAction* action) {
  QVariantMap all;
  if (action->isSeparator()) {
    all.insert("type", QString("separator"));
  } else {
    all.insert("label", MenuLabel(action->text()));
    all.insert("enabled", action->isEnabled());
  }
  all.insert("visible", action->isVisible());
  return all;
}

void RegisterTypes() {
  static const bool registered = [] {
    qDBusRegisterMetaType<DBusMenuItem>();
    qDBusRegisterMetaType<QList<DBusMenuItem>>();
    qDBusRegisterMetaType<DBusMenuLayoutItem>();
    qDBusRegisterMetaType<DBusMenuItemKeys>();
    qDBusRegisterMetaType<QList<DBusMenuItemKeys>>();
    qDBusRegisterMetaType<DBusMenuEvent>();
    qDBusRegisterMetaType<QList<DBusMenuEvent>>();
    return true;
  }();
  (void)registered;
}

}  // namespace

DBusMenu::DBusMenu(QMenu* menu, QObject* parent) : QObject(parent), menu_(menu) {
  RegisterTypes();
  new DBusMenuAdaptor(this);
  QDBusConnection::sessionBus().registerObject(kPath, this, QDBusConnection::ExportAdaptors);
}

QAction* DBusMenu::ActionOf(int id) const {
  if (!menu_ || id < 1 || id > menu_->actions().size()) return nullptr;
  return menu_->actions().at(id - 1);
}

DBusMenuItem DBusMenu::Item(int id, const QStringList& names) const {
  if (id == 0) return {0, Only({{"children-display", QString("submenu")}}, names)};
  const QAction* action = ActionOf(id);
  return {id, action ? Only(PropertiesOf(action), names) : QVariantMap()};
}

DBusMenuLayoutItem DBusMenu::Layout(int id, int depth, const QStringList& names) const {
  const DBusMenuItem item = Item(id, names);
  DBusMenuLayoutItem layout{item.id, item.properties, {}};
  // Only the root has entries below it.
  if (id == 0 && depth != 0 && menu_)
    for (int child = 1; child <= menu_->actions().size(); ++child)
      layout.children.append(Layout(child, depth - 1, names));
  return layout;
}

bool DBusMenu::Event(int id, const QString& eventId) {
  QAction* action = ActionOf(id);
  if (!action) return false;
  // A command may ask the user a question: never inside the bus's call.
  if (eventId == "clicked") QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
  return true;
}

DBusMenuAdaptor::DBusMenuAdaptor(DBusMenu* menu) : QDBusAbstractAdaptor(menu), menu_(menu) {}

uint DBusMenuAdaptor::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                DBusMenuLayoutItem& layout) {
  layout = menu_->Layout(parentId, recursionDepth, propertyNames);
  return DBusMenu::kRevision;
}

QList<DBusMenuItem> DBusMenuAdaptor::GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames) {
  QList<DBusMenuItem> items;
  for (const int id : ids) items.append(menu_->Item(id, propertyNames));
  return items;
}

QDBusVariant DBusMenuAdaptor::GetProperty(int id, const QString& name) {
  return QDBusVariant(menu_->Item(id, {name}).properties.value(name));
}

void DBusMenuAdaptor::Event(int id, const QString& eventId, const QDBusVariant&, uint) { menu_->Event(id, eventId); }

QList<int> DBusMenuAdaptor::EventGroup(const QList<DBusMenuEvent>& events) {
  QList<int> unknown;
  for (const DBusMenuEvent& event : events)
    if (!menu_->Event(event.id, event.eventId)) unknown.append(event.id);
  return unknown;
}

// The entries never change before they are shown.
bool DBusMenuAdaptor::AboutToShow(int) { return false; }

QList<int> DBusMenuAdaptor::AboutToShowGroup(const QList<int>&, QList<int>& idErrors) {
  idErrors.clear();
  return {};
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItem& item) {
  return WriteStructure(argument, item.id, item.properties);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItem& item) {
  return ReadStructure(argument, item.id, item.properties);
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item) {
  argument.beginStructure();
  argument << item.id << item.properties;
  argument.beginArray(QMetaType::fromType<QDBusVariant>());
  for (const DBusMenuLayoutItem& child : item.children) argument << QDBusVariant(QVariant::fromValue(child));
  argument.endArray();
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item) {
  argument.beginStructure();
  argument >> item.id >> item.properties;
  item.children.clear();
  argument.beginArray();
  while (!argument.atEnd()) {
    QDBusVariant child;
    argument >> child;
    DBusMenuLayoutItem childItem;
    qvariant_cast<QDBusArgument>(child.variant()) >> childItem;
    item.children.append(childItem);
  }
  argument.endArray();
  argument.endStructure();
  return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& keys) {
  return WriteStructure(argument, keys.id, keys.properties);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& keys) {
  return ReadStructure(argument, keys.id, keys.properties);
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event) {
  return WriteStructure(argument, event.id, event.eventId, event.data, event.timestamp);
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event) {
  return ReadStructure(argument, event.id, event.eventId, event.data, event.timestamp);
}

}  // namespace tarnovox
