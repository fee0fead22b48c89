#pragma once
// What playback drives in the windows: the position and volume bars of the
// file list window, and the main window's status timer, meters and mixer.
#include "recordings/playback_view.h"
#include "ui/main_window.h"
#include "ui/file_list_window.h"

namespace tarnovox {

class MainPlaybackView final : public PlaybackView {
 public:
  MainPlaybackView(TForm1& form1, TForm2& form2) : form1_(form1), form2_(form2) {}

  void SetTrackBarPosition(int position) override { form2_.SetTrackBarPosition(position); }
  void EnableTrackBarPosition(bool enabled) override { form2_.EnableTrackBarPosition(enabled); }
  void SetTrackBarVolume(int position) override { form2_.SetTrackBarVolume(position); }

  uint32_t StatusInterval() const override { return form1_.StatusInterval(); }
  void SetStatusInterval(uint32_t ms) override { form1_.SetStatusInterval(ms); }
  void ClearMeters() override { form1_.ClearMeters(); }
  bool VolumeMixerOpen() const override { return form1_.VolumeMixerOpen(); }

 private:
  TForm1& form1_;
  TForm2& form2_;
};

}  // namespace tarnovox
