#pragma once
// RecordSettingsDialog: the modal dialog in which the user chooses the output
// format, WAV, FLAC, Opus or MP3, its parameters, the input recorded from, and on
// a page of their own how a take begins, ends and is cut into files. There is no
// Cancel: every way of closing it applies all of its controls.
#include <QDialog>
#include <optional>
#include <vector>

#include "recorder/recorder_state.h"
#include "settings/record_settings.h"
#include "ui/rec_settings_controls.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;

namespace tarnovox {

class RecordSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit RecordSettingsDialog(QWidget* mainWindow = nullptr);
  ~RecordSettingsDialog() override;

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

 protected:
  void showEvent(QShowEvent* event) override;
  // Every closing (OK, the close box, Escape) ends here.
  void done(int result) override;

 private:
  QWidget* CreateWavPage();
  QWidget* CreateMp3Page();
  QWidget* CreateCapturePage();
  // The settings into the controls, as the dialog opens.
  void ShowSettings();
  // The controls into the settings, as the dialog closes.
  void ApplyControls();
  void FormatPageChosen(int page);
  void SetPageCaptions(bool wavActive);
  // The format the WAV page stands for: its file list's choice.
  OutputFormat WavPageFormat() const;
  void WavPageFormatChosen();
  RecSettingsControls ReadControls() const;
  void WriteControls(const RecSettingsControls& controls);
  // Fills the input list from the sources last listed, selecting `chosen`.
  void FillInputs(const std::string& chosen);
  void FollowSources(bool on);
  void SourcesChanged();

  QTabWidget* formatPages_ = nullptr;
  QComboBox* sampleRateBox_ = nullptr;
  QComboBox* channelsBox_ = nullptr;
  QComboBox* bitsPerSampleBox_ = nullptr;
  QComboBox* wavFileBox_ = nullptr;
  QComboBox* opusBitRateBox_ = nullptr;
  QComboBox* bitRateBox_ = nullptr;
  QComboBox* channelModeBox_ = nullptr;
  QCheckBox* vbrCheck_ = nullptr;
  QComboBox* minBitRateBox_ = nullptr;
  QComboBox* maxBitRateBox_ = nullptr;
  QSlider* vbrQualityBar_ = nullptr;
  QCheckBox* copyrightCheck_ = nullptr;
  QCheckBox* originalCheck_ = nullptr;
  QCheckBox* privateCheck_ = nullptr;
  QSpinBox* preRecordBox_ = nullptr;
  QSpinBox* stopAfterBox_ = nullptr;
  QSpinBox* splitEveryBox_ = nullptr;
  QCheckBox* startLevelCheck_ = nullptr;
  QSpinBox* startLevelBox_ = nullptr;
  QSpinBox* silencePauseBox_ = nullptr;
  QComboBox* inputBox_ = nullptr;
  QPushButton* okButton_ = nullptr;

  RecordSettings* settings_ = nullptr;
  const RecorderState* state_ = nullptr;
  std::optional<RecordSettings> pending_;
  InputSources* sources_ = nullptr;
  std::vector<InputSource> listed_;
  int formatPage_ = 1;    // the WAV or MP3 page last chosen: the format, whichever page shows
  bool showing_ = false;  // page changes made by WriteControls are not the user's
};

}  // namespace tarnovox
