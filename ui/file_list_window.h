#pragma once
// FileListWindow: a borderless skinned panel docked below the main window with
// the recordings grid (one current row, several selected ones), the playback
// position and volume bars, the tag editor's button and the context menu to
// rename, convert and delete.
#include <QPixmap>
#include <QPoint>
#include <QWidget>

#include <string>
#include <vector>

#include "formats/conversion_tasks.h"
#include "recordings/recordings_list.h"
#include "settings/record_settings.h"
#include "ui/file_list_commands.h"

class QAction;
class QLabel;
class QMenu;
class QSlider;

namespace tarnovox {

class FileGrid;
class MarkedPositionBar;
class Playback;
class FocusMarks;
class SkinButton;
class SkinPictures;

class FileListWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 399, kHeight = 299;

  // Sets the volume bar from the volume read at start-up, takes the column
  // widths from the settings, attaches the grid to the list and fills it.
  FileListWindow(RecordSettings& settings, RecorderState& state, RecordingsList& list, Playback& playback,
                 UiHooks& ui, QWidget* parent = nullptr);

  void SetSkinPictures(const SkinPictures* pictures);

  // The bars as playback drives them; a change runs the bar's change handler.
  void SetPositionBar(int position);
  void EnablePositionBar(bool enabled);
  void ShowMarks(const std::vector<int>& positions);
  void SetVolumeBar(int position);
  // Off while a conversion runs, so that no other list command starts.
  void SetGridEnabled(bool enabled);

  // Enables the menu items the current file allows, as every click on the grid does.
  void UpdateMenuForCurrentFile();
  // The menu's conversions: asks for one of the selected files unless a recording runs.
  void ConvertSelected(ConversionTarget format);
  // The menu's delete: the selected files after one question.
  void DeleteSelected();
  // The files Convert and Delete work on: those of the selected rows when
  // there are several, else the current file (none while there is none).
  std::vector<std::string> SelectedFiles() const;

  FileListCommands& Commands() { return commands_; }
  // The label naming the current file, kept like the main window's.
  QLabel* FileLabel() const { return fileLabel_; }

 signals:
  // The tag editor's button: the editor is to be shown with its top-left
  // corner there (right of this window) when hidden, hidden when shown.
  void tagEditorToggleRequested(const QPoint& topLeft);
  // The conversion of the WAV files among `files` into `format`.
  void convertRequested(const std::vector<std::string>& files, ConversionTarget format);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;  // the background resets the tag editor's button

 private:
  void SetTabOrder();
  void CreateFileLabel();
  void CreateGrid();
  void CreateBars();
  void CreateMenu();
  // A release on the grid: a data row (1 and up), or -1 below the rows.
  void RememberRelease(int row);
  // A release on the header at x: sorts when clear of a column border.
  void SortByHeaderAt(int x);
  void StoreColumnWidths();

  FileListCommands commands_;
  RecordSettings& settings_;
  RecorderState& state_;
  RecordingsList& list_;
  Playback& playback_;
  QPixmap background_;
  QLabel* fileLabel_ = nullptr;
  FileGrid* grid_ = nullptr;
  MarkedPositionBar* positionBar_ = nullptr;
  QSlider* volumeBar_ = nullptr;
  SkinButton* tagEditorButton_ = nullptr;
  FocusMarks* focusMarks_ = nullptr;
  QMenu* contextMenu_ = nullptr;
  QAction* renameAction_ = nullptr;
  QAction* convertAction_ = nullptr;  // to MP3
  QAction* convertFlacAction_ = nullptr;
  QAction* convertOpusAction_ = nullptr;
  QAction* deleteAction_ = nullptr;
  // The row of the last release, 0 for the header: a double-click after a
  // release on the header plays nothing.
  int lastReleaseRow_ = 0;
};

}  // namespace tarnovox
