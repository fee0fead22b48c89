#pragma once
// MainWindow: a borderless panel whose surface is the skin's background
// picture, with picture buttons, the status, time and format labels and the
// three live displays. What the user asks for it announces as signals, which
// the application connects to the recorder, playback and the dialogs; so the
// window can be tested on its own and does not depend on the dialogs' classes.
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "analysis/meter_canvas.h"
#include "recorder/recorder_state.h"
#include "settings/record_settings.h"
#include "ui/background_drag.h"
#include "ui/main_labels.h"
#include "ui/status_display.h"

class QLabel;

namespace tarnovox {

class SkinButton;
class SkinPictures;

class MainWindow : public QWidget, public MeterCanvas {
  Q_OBJECT

 public:
  static constexpr int kWidth = 399, kHeight = 299;

  MainWindow(const RecordSettings& settings, RecorderState& state, QWidget* parent = nullptr);

  // Asked before the window closes; false keeps it open. Unset, every close closes.
  void SetCloseQuery(std::function<bool()> query) { closeQuery_ = std::move(query); }
  // Whether the recording mixer the program started still runs. Unset, none does.
  void SetMixerRunningQuery(std::function<bool()> query) { mixerRunning_ = std::move(query); }

  // The loaded skin pictures come after the main window; until they are
  // attached the buttons keep the normal pictures they were created with.
  void SetSkinPictures(const SkinPictures* pictures);
  // The file list window and its file label: docked below this window, shown
  // and hidden by the file list button, its label kept like this one's.
  void SetFileList(QWidget* fileList, QLabel* fileLabel);
  // Places the file list at this window's left edge, directly below it.
  void DockFileList();
  // A window that belongs to this one (the file list, the tag editor): closed
  // with it, minimized with it and shown again where it was on restore.
  void AddCompanion(QWidget* window);
  // Starts the status tick (500 ms).
  void StartTimers();

  void ResetButtonPictures();
  // What the 500 ms timer runs: the title, the playback poll, the labels.
  void StatusTick();
  // The title and the status labels as the recorder's state is now, at once
  // (the recorder announced a change); the shadow keeps blinking in step.
  void ShowRecorderState();
  void UpdateTimeDisplay();
  void UpdateFormatLabels();
  bool FileListShown() const { return fileListShown_; }

  // MeterCanvas: the displays' bitmaps go into the window's back buffer.
  void CopyBitmap(int x, int y, const QImage& bitmap) override;
  double DevicePixelRatio() const override { return backBuffer_.devicePixelRatio(); }
  // The status tick's interval; setting it restarts the timer.
  uint32_t StatusInterval() const { return static_cast<uint32_t>(statusTimer_.interval()); }
  void SetStatusInterval(uint32_t ms) { statusTimer_.start(static_cast<int>(ms)); }
  void ClearMeters() { emit clearMetersRequested(); }
  bool VolumeMixerOpen() const { return mixerRunning_ && mixerRunning_(); }

 signals:
  // The transport buttons; Record only while nothing records or plays, Play
  // only while nothing records.
  void recordClicked();
  void pauseClicked();
  void stopClicked();
  void playClicked();
  // In every status tick, after the title and before the labels.
  void playbackPollDue();
  // The dialog buttons; the format labels are updated after the record settings.
  void recordSettingsRequested();
  void outputFolderRequested();
  // The output folder request left another, non-empty folder in the settings.
  void outputFolderChanged();
  void aboutRequested();
  void helpRequested();
  void recordingMixerRequested();
  // A whole-window paint: the displays are to be drawn now, through CopyBitmap.
  void metersPaintDue();
  void clearMetersRequested();
  // The file list button hid the file list; the tag editor goes with it.
  void fileListHidden();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;  // minimize and restore
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // The background picture: resets the buttons, drags the window.
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void DrawBackground();
  void CreateButtons();
  void ShowTitle();
  void ShowStatusLabels();
  void ConnectButtons();
  void ChooseOutputFolder();
  void ToggleFileList();

  MainLabels labels_;
  const RecordSettings& settings_;
  RecorderState& state_;
  std::function<bool()> closeQuery_;
  std::function<bool()> mixerRunning_;
  QTimer statusTimer_;
  SkinButton* folderButton_ = nullptr;
  SkinButton* recordSettingsButton_ = nullptr;
  SkinButton* helpButton_ = nullptr;
  SkinButton* aboutButton_ = nullptr;
  SkinButton* minimizeButton_ = nullptr;
  SkinButton* closeButton_ = nullptr;
  SkinButton* recordingMixerButton_ = nullptr;
  SkinButton* recordButton_ = nullptr;
  SkinButton* pauseButton_ = nullptr;
  SkinButton* stopButton_ = nullptr;
  SkinButton* playButton_ = nullptr;
  SkinButton* fileListButton_ = nullptr;
  std::vector<SkinButton*> buttons_;
  bool fileListShown_ = false;
  QWidget* fileList_ = nullptr;
  QLabel* fileListLabel_ = nullptr;
  std::vector<QWidget*> companions_;
  std::vector<QWidget*> hiddenByMinimize_;
  StatusDisplay status_;
  FormatLabels format_;
  QImage backBuffer_;
  bool inPaint_ = false;
  BackgroundDrag drag_{*this};
};

}  // namespace tarnovox
