#pragma once
// Set-up shared by the window tests: a temporary working folder with the
// settings, state and doubles around it, skin pictures that tell themselves
// apart, a driver for modal dialogs and the lookup of a window's widgets.
#include <QApplication>
#include <QCoreApplication>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "tests/support/recorder_doubles.h"
#include "tests/support/scripted_ui_hooks.h"
#include "settings/record_settings.h"
#include "tests/support/temp_folder.h"
#include "ui/skin_pictures.h"

namespace tarnovox::testing {

// Runs `steps` once a modal dialog's own event loop is running, so a test can
// act on the open dialog and close it the way a user would.
inline void WhileOpen(std::function<void()> steps) { QTimer::singleShot(0, std::move(steps)); }

// Opens a dialog through `open` with steps that close it at once; says whether
// it was shown at all.
inline bool ShownBy(QWidget& dialog, const std::function<void()>& open) {
  bool shown = false;
  WhileOpen([&] {
    shown = dialog.isVisible();
    dialog.close();
  });
  open();
  QCoreApplication::processEvents();  // runs the steps when the dialog did not open
  return shown;
}

// Makes the window active with the keyboard on `first`, as Tab had put it
// there, then presses Tab that often: the object names of the focused widget
// before and after each press.
inline QStringList TabVisits(QWidget& window, QWidget* first, int presses) {
  QApplication::setActiveWindow(&window);
  if (!QTest::qWaitForWindowActive(&window)) return {"window not active"};
  first->setFocus(Qt::TabFocusReason);
  QStringList visited{QApplication::focusWidget()->objectName()};
  for (int i = 0; i < presses; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << QApplication::focusWidget()->objectName();
  }
  return visited;
}

// How many pixels of row y, x1..x2-1, are the focus mark's silver.
inline int SilverPixels(const QImage& image, int y, int x1, int x2) {
  int silver = 0;
  for (int x = x1; x < x2; ++x) silver += image.pixelColor(x, y) == QColor(192, 192, 192);
  return silver;
}

inline void Click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton) {
  QTest::mouseClick(widget, button, {}, widget->rect().center());
}

// The widget (or action) of a window by its object name, as a screen reader
// finds it; a missing one fails the test.
template <typename T>
T* Child(const QObject& window, const char* name) {
  T* child = window.findChild<T*>(name);
  if (child == nullptr) throw std::logic_error(std::string("no child named ") + name);
  return child;
}

// Every button picture its own colour, so a shown picture can be told by its cache key.
inline void FillPictures(SkinPictures& pictures) {
  int shade = 0;
  for (const char* pair : {"ImageFolder", "ImageSetting", "ImageHelp", "ImageInfo", "ImageMin", "ImageClose",
                           "ImageControl", "ImageRecord", "ImagePause", "ImageStop", "ImagePlay", "ImageShow",
                           "ImageHide"}) {
    for (const char* suffix : {"1", "2"}) {
      QPixmap picture(27, 27);
      picture.fill(QColor(shade, 255 - shade, 7));
      shade += 9;
      pictures.SetPicture(QString(pair) + suffix, picture);
    }
  }
}

// A temporary folder that is also the working folder and the output folder.
struct UiRig {
  UiRig() : previous(std::filesystem::current_path()) {
    std::filesystem::current_path(temp.path());
    settings.folder = std::filesystem::canonical(temp.path()).string();
  }
  ~UiRig() { std::filesystem::current_path(previous); }
  std::string Folder(const std::string& name) const {
    return (std::filesystem::canonical(temp.path()) / name).string();
  }

  TempFolder temp;
  std::filesystem::path previous;
  RecordSettings settings;
  RecorderState state;
  ScriptedUiHooks ui;
  FakePlayback playback{state};
  FakeRecordings recordings;
};

}  // namespace tarnovox::testing
