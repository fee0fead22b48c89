#pragma once
// The bars and the status timer as the windows keep them: a bar whose value
// changes runs its change handler, whoever changed it.
#include <chrono>

#include "recordings/playback.h"
#include "recordings/playback_view.h"

namespace tarnovox::testing {

class FakePlaybackView : public PlaybackView {
 public:
  explicit FakePlaybackView(Playback& playback) : playback_(playback) {}

  void SetPositionBar(int value) override {
    if (value == position) return;
    position = value;
    playback_.SeekToBarPosition(value);
  }
  void EnablePositionBar(bool enabled) override { positionEnabled = enabled; }
  void ShowMarks(const std::vector<int>& positions) override { marks = positions; }
  void SetVolumeBar(int value) override {
    if (value == volume) return;
    volume = value;
    playback_.SetVolumeFromBar(value);
  }
  std::chrono::milliseconds StatusInterval() const override { return interval; }
  void SetStatusInterval(std::chrono::milliseconds value) override { interval = value; }
  void ClearMeters() override { ++meterClears; }
  bool VolumeMixerOpen() const override { return mixerOpen; }

  int position = 0;
  bool positionEnabled = true;
  std::vector<int> marks;
  int volume = 0;
  std::chrono::milliseconds interval{500};
  int meterClears = 0;
  bool mixerOpen = false;

 private:
  Playback& playback_;
};

}  // namespace tarnovox::testing
