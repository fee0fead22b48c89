#include "ui/skin_button_accessible.h"

#include <QAccessibleWidget>

#include "ui/skin_button.h"

namespace tarnovox {
namespace {

// A QLabel is static text to a screen reader; this one is a button.
class SkinButtonAccessible : public QAccessibleWidget {
 public:
  explicit SkinButtonAccessible(SkinButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& action) override {
    if (action == pressAction()) static_cast<SkinButton*>(widget())->Press();
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* MakeInterface(const QString& className, QObject* object) {
  if (className != QLatin1String(SkinButton::staticMetaObject.className()) || object == nullptr) return nullptr;
  return new SkinButtonAccessible(static_cast<SkinButton*>(object));
}

}  // namespace

void InstallSkinButtonAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(MakeInterface);
    return true;
  }();
  (void)installed;
}

}  // namespace tarnovox
