#pragma once
// What playback drives in the windows: the position and volume bars of the
// file list window, and the main window's status timer, meters and mixer.
#include "recordings/playback_view.h"
#include "ui/tform1.h"
#include "ui/tform2.h"

namespace tarnovox {

class MainPlaybackView final : public PlaybackView {
 public:
  MainPlaybackView(TForm1& form1, TForm2& form2) : form1_(form1), form2_(form2) {}

  void SetPositionBar(int position) override { form2_.SetTrackBarPosition(position); }
  void EnablePositionBar(bool enabled) override { form2_.EnableTrackBarPosition(enabled); }
  void SetVolumeBar(int position) override { form2_.SetTrackBarVolume(position); }

  std::chrono::milliseconds StatusInterval() const override {
    return std::chrono::milliseconds(form1_.StatusInterval());
  }
  void SetStatusInterval(std::chrono::milliseconds interval) override {
    form1_.SetStatusInterval(static_cast<uint32_t>(interval.count()));
  }
  void ClearMeters() override { form1_.ClearMeters(); }
  bool VolumeMixerOpen() const override { return form1_.VolumeMixerOpen(); }

 private:
  TForm1& form1_;
  TForm2& form2_;
};

}  // namespace tarnovox
