#pragma once
// TForm1, the main window: a borderless panel whose surface is the skin's
// background picture, with picture buttons, the status/time/format labels and
// the three live displays. The recorder's commands and the dialogs are reached
// through hooks that the application wires, so the window can be tested with
// doubles and does not depend on the dialogs' classes.
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "analysis/meter_canvas.h"
#include "recorder/recorder_state.h"
#include "settings/record_settings.h"
#include "ui/main_labels.h"
#include "ui/background_drag.h"
#include "ui/skin_button.h"
#include "ui/status_display.h"

namespace tarnovox {

class TForm4;

class TForm1 : public QWidget, public MeterCanvas {
 public:
  static constexpr int kWidth = 399, kHeight = 299;

  // What the window asks of the rest of the program; an empty hook does nothing.
  struct Hooks {
    std::function<void()> record;  // the Record button (RecordButton)
    std::function<void()> pause;   // TogglePause
    std::function<void()> stop;    // StopAll
    std::function<void()> play;    // plays the picked file
    std::function<void()> recordTick;
    std::function<void()> pollPlayback;
    std::function<bool()> closeQuery;      // false keeps the window open
    std::function<void()> recordSettings;  // TFormRecSettings, modal
    std::function<void()> outputFolder;    // TFormDir, modal; may change Folder
    std::function<void()> changeOutputFolder;
    std::function<void()> about;  // TFormAbout, modal
    std::function<void()> help;
    std::function<void()> recordingMixer;
    std::function<bool()> mixerOpen;
    std::function<void()> paintMeters;  // SetMeterGeometry, ClearMeterBitmaps, DrawStereoMeters
    std::function<void()> clearMeters;
    std::function<void()> hideTagEditor;  // the file list hides with the tag editor
  };

  TForm1(const RecordSettings& settings, RecorderState& state, QWidget* parent = nullptr);

  // The picture bank is created after the main window; until it is attached the
  // buttons keep the normal pictures they were created with.
  void SetImageBank(const TForm4* bank);
  // The file list window TForm2 and its LabFile: docked below this window,
  // shown and hidden by ImageShowHide, its label kept like this one's.
  void SetFileList(QWidget* fileList, QLabel* fileLabel);
  // Places the file list at this window's left edge, directly below it.
  void DockFileList();
  // A window that belongs to this one (the file list, the tag editor): closed
  // with it, minimized with it and shown again where it was on restore.
  void AddCompanion(QWidget* window);
  // Starts TimerRec (100 ms) and TimerStatus (500 ms).
  void StartTimers();

  void ResetButtonPictures();
  void StatusTick();
  void UpdateTimeDisplay();
  void UpdateFormatLabels();

  // MeterCanvas: the displays' bitmaps go into the window's back buffer.
  void CopyBitmap(int x, int y, const QImage& bitmap) override;
  // TimerStatus's interval; setting it restarts the timer.
  uint32_t StatusInterval() const { return static_cast<uint32_t>(TimerStatus.interval()); }
  void SetStatusInterval(uint32_t ms) { TimerStatus.start(static_cast<int>(ms)); }
  void ClearMeters();
  bool VolumeMixerOpen() const { return hooks.mixerOpen && hooks.mixerOpen(); }

  Hooks hooks;
  bool ListShown = false;
  QTimer TimerRec;
  QTimer TimerStatus;
  MainLabels Labels;
  SkinButton* ImageFolder;
  SkinButton* ImageSetting;
  SkinButton* Imagehelp;
  SkinButton* ImageInfo;
  SkinButton* ImageMin;
  SkinButton* ImageClose;
  SkinButton* ImageControl;
  SkinButton* ImageRecord;
  SkinButton* ImagePause;
  SkinButton* ImageStop;
  SkinButton* ImagePlay;
  SkinButton* ImageShowHide;

 protected:
  void paintEvent(QPaintEvent* event) override;  // FormPaint
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;  // minimize and restore
  // The background picture ImageForm1: resets the buttons, drags the window.
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void CreateButtons();
  void BindButtons();
  void ImageFolderAction();
  void ImageShowHideAction();
  void RunHook(const std::function<void()>& hook) { if (hook) hook(); }

  const RecordSettings& settings_;
  RecorderState& state_;
  const TForm4* bank_ = nullptr;
  QWidget* fileList_ = nullptr;
  QLabel* fileListLabel_ = nullptr;
  std::vector<QWidget*> companions_;
  std::vector<QWidget*> hiddenByMinimize_;
  std::vector<SkinButton*> buttons_;
  StatusDisplay status_;
  FormatLabels format_;
  QImage backBuffer_;
  bool inPaint_ = false;
  BackgroundDrag drag_{*this};
};

}  // namespace tarnovox
