#pragma once
// TForm2, the file list window: a borderless skinned panel docked below the
// main window with the recordings grid, the playback position and volume bars,
// the tag editor's button and the context menu to rename, convert and delete.
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QSlider>
#include <QWidget>
#include <functional>

#include "recordings/recordings_list.h"
#include "settings/record_settings.h"
#include "ui/file_grid.h"
#include "ui/file_list_commands.h"
#include "ui/skin_button.h"

namespace tarnovox {

class Playback;
class TForm4;

class TForm2 : public QWidget {
 public:
  static constexpr int kWidth = 399, kHeight = 299;

  // FormCreate: sets the volume bar from the volume read at start-up, takes
  // the column widths from the settings, attaches the grid to the list and
  // fills it (Rescan, ApplySort).
  TForm2(RecordSettings& settings, RecorderState& state, RecordingsList& list, Playback& playback, UiHooks& ui,
         QWidget* parent = nullptr);

  void SetImageBank(const TForm4* bank);

  // The bars as playback drives them; a change runs the bar's change handler.
  void SetTrackBarPosition(int position) { TrackBarPosition->setValue(position); }
  void EnableTrackBarPosition(bool enabled) { TrackBarPosition->setEnabled(enabled); }
  void SetTrackBarVolume(int position) { TrackBarVolume->setValue(position); }

  // The menu items' state as the last click on the grid left it.
  void SGridFilesClick();
  void SGridFilesMouseUp(int row);
  // A release on the header at x: sorts when clear of a column border.
  void HeaderMouseUp(int x);
  void pmWav2MP3Click();

  FileListCommands Commands;
  // The tag editor, placed with its top-left corner at the given point; shown
  // when hidden, hidden when shown.
  std::function<void(const QPoint&)> toggleTagEditor;
  std::function<void()> convert;  // the WAV to MP3 conversion of CurrentFile

  QLabel* LabFile;
  FileGrid* SGridFiles;
  QSlider* TrackBarPosition;
  QSlider* TrackBarVolume;
  SkinButton* ImageTag;
  QMenu* PMenu;
  QAction* pmRename;
  QAction* pmWav2MP3;
  QAction* pmDelete;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;              // FormShow
  void mouseMoveEvent(QMouseEvent* event) override;        // ImageFileListMouseMove

 private:
  void CreateGrid();
  void CreateBars();
  void CreateMenu();
  void StoreColumnWidths();

  RecordSettings& settings_;
  RecorderState& state_;
  RecordingsList& list_;
  Playback& playback_;
  QPixmap background_;
  int lastReleaseRow_ = 0;
};

}  // namespace tarnovox
