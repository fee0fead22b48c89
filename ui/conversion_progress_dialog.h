#pragma once
// TFormConvert: the small stay-on-top dialog shown while a WAV file is
// converted to MP3. Cancel and closing the dialog both cancel.
#include <QDialog>
#include <functional>

#include "formats/convert_progress.h"

class QCloseEvent;
class QLabel;
class QProgressBar;
class QPushButton;

namespace tarnovox {

class TFormConvert : public QDialog, public ConvertProgress {
 public:
  explicit TFormConvert(QWidget* mainWindow);

  // The file list window hands over the enabling of its grid.
  void SetGridEnabler(std::function<void(bool)> enabler) { gridEnabler_ = std::move(enabler); }

  void Show(const std::string& source, const std::string& target) override;
  void SetProgress(int percent) override;
  bool Cancelled() const override { return cancelled_; }
  void Close() override;
  void SetFileGridEnabled(bool enabled) override;

  QLabel* Label1 = nullptr;
  QLabel* LabSource = nullptr;
  QLabel* LabTarget = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QPushButton* BtnCancel = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormClose
  void reject() override;                        // Escape closes like the close box

 private:
  void BtnCancelClick();

  bool cancelled_ = false;
  std::function<void(bool)> gridEnabler_;
};

}  // namespace tarnovox
