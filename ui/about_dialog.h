#pragma once
// AboutDialog: the modal about box with the program's name and version, the
// credit of the MP3 encoder library that was loaded, and a link to the help
// page shipped with the program.
#include <QDialog>
#include <QUrl>
#include <string>

#include "platform/dynamic_library.h"

class QLabel;

namespace tarnovox {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  // The encoder project's site.
  static const QUrl kEncoderSite;

  explicit AboutDialog(QWidget* mainWindow = nullptr);

  // The link's target: the help page beside the program; an empty URL hides the link.
  void SetHelpPage(const QUrl& page);
  // The hot-key mechanism in use, one line below the others; empty hides it.
  void SetHotKeys(const QString& text);
  // "major.minor" of the encoder library, or empty when it did not load.
  void SetEncoderVersion(const std::string& version);
  // Asks the encoder library itself (beVersion); empty when it cannot be loaded.
  static std::string LoadedEncoderVersion(DynamicLibraryLoader& loader);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateHeading();
  // The link was clicked: the box closes, then the help page opens.
  void OpenHelpPage();

  QLabel* encoderLabel_ = nullptr;
  QLabel* helpLinkLabel_ = nullptr;
  QLabel* hotKeysLabel_ = nullptr;
  QUrl helpPage_;
};

}  // namespace tarnovox
