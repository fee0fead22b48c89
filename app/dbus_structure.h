#pragma once
// A D-Bus structure written or read field by field, for the operators that
// QtDBus needs of each of our structure types.
#include <QDBusArgument>

namespace tarnovox {

template <typename... Fields>
QDBusArgument& WriteStructure(QDBusArgument& argument, const Fields&... fields) {
  argument.beginStructure();
  (argument << ... << fields);
  argument.endStructure();
  return argument;
}

template <typename... Fields>
const QDBusArgument& ReadStructure(const QDBusArgument& argument, Fields&... fields) {
  argument.beginStructure();
  (argument >> ... >> fields);
  argument.endStructure();
  return argument;
}

}  // namespace tarnovox
