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

  void SetTrackBarPosition(int position) override { fileList_.SetPositionBar(position); }
  void EnableTrackBarPosition(bool enabled) override { fileList_.EnablePositionBar(enabled); }
  void SetTrackBarVolume(int position) override { fileList_.SetVolumeBar(position); }

  uint32_t StatusInterval() const override { return mainWindow_.StatusInterval(); }
  void SetStatusInterval(uint32_t ms) override { mainWindow_.SetStatusInterval(ms); }
  void ClearMeters() override { mainWindow_.ClearMeters(); }
  bool VolumeMixerOpen() const override { return mainWindow_.VolumeMixerOpen(); }

 private:
  MainWindow& mainWindow_;
  FileListWindow& fileList_;
};

}  // namespace tarnovox
