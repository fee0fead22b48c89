#pragma once
// The bars and the status timer as the windows keep them: a bar whose value
// changes runs its change handler, whoever changed it.

#include "recordings/playback.h"
#include "recordings/playback_view.h"

namespace tarnovox::testing {

class FakePlaybackView : public PlaybackView {
 public:
  explicit FakePlaybackView(Playback& playback) : playback_(playback) {}

  void SetTrackBarPosition(int value) override {
    if (value == position) return;
    position = value;
    playback_.TrackBarPositionChange(value);
  }
  void EnableTrackBarPosition(bool enabled) override { positionEnabled = enabled; }
  void SetTrackBarVolume(int value) override {
    if (value == volume) return;
    volume = value;
    playback_.TrackBarVolumeChange(value);
  }
  uint32_t StatusInterval() const override { return interval; }
  void SetStatusInterval(uint32_t ms) override { interval = ms; }
  void ClearMeters() override { ++meterClears; }
  bool VolumeMixerOpen() const override { return mixerOpen; }

  int position = 0;
  bool positionEnabled = true;
  int volume = 0;
  uint32_t interval = 500;
  int meterClears = 0;
  bool mixerOpen = false;

 private:
  Playback& playback_;
};

}  // namespace tarnovox::testing
