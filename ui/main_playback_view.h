#pragma once
// The main window's side of what playback drives: the status timer's interval,
// the meters and the mixer. The position and volume bars belong to the file
// list window; until that window exists they are not shown anywhere.
#include "library/playback_view.h"
#include "ui/tform1.h"

namespace tarnovox {

class MainPlaybackView final : public PlaybackView {
 public:
  explicit MainPlaybackView(TForm1& form) : form_(form) {}

  void SetTrackBarPosition(int) override {}
  void EnableTrackBarPosition(bool) override {}
  void SetTrackBarVolume(int) override {}

  uint32_t StatusInterval() const override { return form_.StatusInterval(); }
  void SetStatusInterval(uint32_t ms) override { form_.SetStatusInterval(ms); }
  void ClearMeters() override { form_.ClearMeters(); }
  bool VolumeMixerOpen() const override { return form_.VolumeMixerOpen(); }

 private:
  TForm1& form_;
};

}  // namespace tarnovox
