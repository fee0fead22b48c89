#pragma once
// What playback drives in the windows: the position and volume bars of the
// file list window, and the main window's status timer, meters and mixer.
#include "recordings/playback_view.h"
#include "ui/file_list_window.h"
#include "ui/main_window.h"

namespace tarnovox {

class MainPlaybackView final : public PlaybackView {
 public:
  MainPlaybackView(MainWindow& mainWindow, FileListWindow& fileList) : mainWindow_(mainWindow), fileList_(fileList) {}

  void SetPositionBar(int position) override { fileList_.SetPositionBar(position); }
  void EnablePositionBar(bool enabled) override { fileList_.EnablePositionBar(enabled); }
  void ShowMarks(const std::vector<int>& positions) override { fileList_.ShowMarks(positions); }
  void SetVolumeBar(int position) override { fileList_.SetVolumeBar(position); }

  std::chrono::milliseconds StatusInterval() const override {
    return std::chrono::milliseconds(mainWindow_.StatusInterval());
  }
  void SetStatusInterval(std::chrono::milliseconds interval) override {
    mainWindow_.SetStatusInterval(static_cast<uint32_t>(interval.count()));
  }
  void ClearMeters() override { mainWindow_.ClearMeters(); }
  bool VolumeMixerOpen() const override { return mainWindow_.VolumeMixerOpen(); }

 private:
  MainWindow& mainWindow_;
  FileListWindow& fileList_;
};

}  // namespace tarnovox
