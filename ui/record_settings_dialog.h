#pragma once
// TFormRecSettings: the modal dialog in which the user chooses the output
// format, WAV or MP3, its parameters, and the input recorded from. There is no Cancel: every way of
// closing it applies all of its controls.
#include <QDialog>
#include <optional>
#include <vector>

#include "recorder/recorder_state.h"
#include "settings/record_settings.h"
#include "ui/rec_settings_controls.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QSlider;
class QTabWidget;

namespace tarnovox {

class TFormRecSettings : public QDialog {
 public:
  explicit TFormRecSettings(QWidget* mainWindow = nullptr);  // FormCreate
  ~TFormRecSettings() override;

  // Where the input list comes from; without it the list offers the default
  // input and the sound the computer plays. While the dialog is shown the list
  // follows sources that come and go.
  void SetInputSources(InputSources* sources) { sources_ = sources; }

  // Shows the dialog modally over `settings` and returns whether a field it
  // edits changed. The recorder reads the format again while it writes and when
  // it stops, so while a recording runs the dialog is refused: nothing is shown
  // and false is returned.
  bool Edit(RecordSettings& settings, const RecorderState& state);

  // A system-wide hot key can start a recording while the dialog is open; the
  // values of such a closing wait here until no recording runs. The main window
  // calls this after each stop (Edit calls it too). Returns whether a field
  // changed; does nothing while a recording runs.
  bool ApplyPending(RecordSettings& settings, const RecorderState& state);
  bool HasPending() const { return pending_.has_value(); }

  QTabWidget* PControlFormat = nullptr;
  QWidget* TSheetWav = nullptr;
  QWidget* TSheetMP3 = nullptr;
  QComboBox* CBoxWavSpsIn = nullptr;
  QComboBox* CBoxWavChannel = nullptr;
  QComboBox* CBoxWavBits = nullptr;
  QComboBox* CBoxMP3BitRate = nullptr;
  QComboBox* CBoxMP3Mode = nullptr;
  QGroupBox* GBoxVBR = nullptr;
  QCheckBox* ChBoxEnableVBR = nullptr;
  QComboBox* CBoxMinBRate = nullptr;
  QComboBox* CBoxMaxBRate = nullptr;
  QSlider* TBarVBRQuality = nullptr;
  QCheckBox* ChBoxCopyright = nullptr;
  QCheckBox* ChBoxOriginal = nullptr;
  QCheckBox* ChBoxPrivate = nullptr;
  QComboBox* CBoxInput = nullptr;
  QPushButton* BitBtnOK = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  // Every closing (OK, the close box, Escape) ends here.
  void done(int result) override;

 private:
  QWidget* CreateWavSheet();
  QWidget* CreateMp3Sheet();
  void FormShow();
  void FormClose();
  void PControlFormatChange(int page);
  void SetPageCaptions(bool wavActive);
  RecSettingsControls ReadControls() const;
  void WriteControls(const RecSettingsControls& controls);
  // Fills the input list from the sources last listed, selecting `chosen`.
  void FillInputs(const std::string& chosen);
  void FollowSources(bool on);
  void SourcesChanged();

  RecordSettings* settings_ = nullptr;
  const RecorderState* state_ = nullptr;
  std::optional<RecordSettings> pending_;
  InputSources* sources_ = nullptr;
  std::vector<InputSource> listed_;
  bool showing_ = false;  // page changes made by FormShow are not the user's
};

}  // namespace tarnovox
