#pragma once
// ConversionProgressDialog: the small stay-on-top dialog shown while WAV
// files are converted to MP3, FLAC or Opus. Cancel and closing the dialog both
// cancel the whole conversion.
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

  // The title names the format, the labels the two files (or how many there
  // are); an earlier cancel is forgotten.
  void Show(ConversionTarget format, const std::string& source, const std::string& target) override;
  void SetProgress(int percent) override;
  bool Cancelled() const override { return cancelled_; }
  void SetCancelAction(std::function<void()> cancel) override { cancelAction_ = std::move(cancel); }
  void Close() override;
  void SetFileGridEnabled(bool enabled) override;

 protected:
  void closeEvent(QCloseEvent* event) override;  // the close box cancels
  void reject() override;                        // Escape closes like the close box

 private:
  void CancelConversion();
  void MarkCancelled();

  QLabel* sourceLabel_ = nullptr;
  QLabel* targetLabel_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  bool cancelled_ = false;
  std::function<void(bool)> gridEnabler_;
  std::function<void()> cancelAction_;
};

}  // namespace tarnovox
