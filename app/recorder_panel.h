#pragma once
// A plain window over the recorder until the skinned main window and the file
// list window take its place: the three displays, the mode, time and format,
// Record/Pause/Stop/Play and the recordings of the output folder.
#include <QImage>
#include <QWidget>
#include <functional>

#include "analysis/meter_canvas.h"
#include "core/recorder_state.h"
#include "library/playback_view.h"
#include "library/recordings_grid.h"
#include "settings/record_settings.h"

class QLabel;
class QTableWidget;

namespace tarnovox {

class RecorderPanel final : public QWidget, public MeterCanvas, public RecordingsGrid, public PlaybackView {
 public:
  struct Actions {
    std::function<void()> record, pause, stop, play;
    std::function<bool()> closeQuery;
    std::function<void()> pollPlayback;
  };

  RecorderPanel(const RecordSettings& settings, RecorderState& state);
  void SetActions(Actions actions) { actions_ = std::move(actions); }

  void UpdateTimeDisplay();
  void UpdateFormatLabels();
  // The 500 ms status tick: playback steps, then the mode word and file name.
  void StatusTick();

  // MeterCanvas
  void CopyBitmap(int x, int y, const QImage& bitmap) override;
  // RecordingsGrid
  void SetRowCount(int rows) override;
  void SetCell(int column, int row, const std::string& text) override;
  void SelectRow(int row) override;
  void ClearSelection() override;
  // PlaybackView: the position and volume bars come with the file list window.
  void SetTrackBarPosition(int) override {}
  void EnableTrackBarPosition(bool) override {}
  void SetTrackBarVolume(int) override {}
  uint32_t StatusInterval() const override { return statusInterval_; }
  void SetStatusInterval(uint32_t ms) override;
  void ClearMeters() override;
  bool VolumeMixerOpen() const override { return false; }

  std::function<void(uint32_t)> onStatusInterval;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  const RecordSettings& settings_;
  RecorderState& state_;
  Actions actions_;
  QImage canvas_;
  QLabel* meters_;
  QLabel* status_;
  QLabel* time_;
  QLabel* format_;
  QTableWidget* files_;
  uint32_t statusInterval_ = 500;
};

}  // namespace tarnovox
