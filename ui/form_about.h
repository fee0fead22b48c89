#pragma once
// TFormAbout: the modal about box with the program's name and version, the
// credit of the MP3 encoder and a link to the maker's web site.
#include <QDialog>
#include <QUrl>

class QLabel;
class QPushButton;

namespace tarnovox {

class TFormAbout : public QDialog {
 public:
  // The maker's web site and the encoder project's site.
  static const QUrl kMakerSite;
  static const QUrl kEncoderSite;

  explicit TFormAbout(QWidget* mainWindow = nullptr);

  QLabel* ImageAbout = nullptr;
  QLabel* Lab1 = nullptr;
  QLabel* Lab2 = nullptr;
  QLabel* LabMpeg = nullptr;
  QLabel* LabLameWeb = nullptr;
  QPushButton* BitBtnClose = nullptr;
  QLabel* LabAuthor = nullptr;
  QLabel* LabWWW = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateTitle();
  void LabWWWClick();
};

}  // namespace tarnovox
