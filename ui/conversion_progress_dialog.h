#pragma once
// ConversionProgressDialog: the small stay-on-top dialog shown while a WAV
// file is converted to MP3. Cancel and closing the dialog both cancel.
#include <QDialog>
#include <functional>

#include "formats/convert_progress.h"

class QCloseEvent;
class QLabel;
class QProgressBar;

namespace tarnovox {

class ConversionProgressDialog : public QDialog, public ConvertProgress {
  Q_OBJECT

 public:
  explicit ConversionProgressDialog(QWidget* mainWindow);

  // The file list window hands over the enabling of its grid.
  void SetGridEnabler(std::function<void(bool)> enabler) { gridEnabler_ = std::move(enabler); }

  // The labels name the two files; an earlier cancel is forgotten.
  void Show(const std::string& source, const std::string& target) override;
  void SetProgress(int percent) override;
  bool Cancelled() const override { return cancelled_; }
  void Close() override;
  void SetFileGridEnabled(bool enabled) override;

 protected:
  void closeEvent(QCloseEvent* event) override;  // the close box cancels
  void reject() override;                        // Escape closes like the close box

 private:
  void CancelConversion();

  QLabel* sourceLabel_ = nullptr;
  QLabel* targetLabel_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  bool cancelled_ = false;
  std::function<void(bool)> gridEnabler_;
};

}  // namespace tarnovox
