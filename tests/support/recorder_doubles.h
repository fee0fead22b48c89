#pragma once
// Doubles for the subsystems the recorder drives, recording what was asked of them.
#include <string>
#include <vector>

#include "recorder/collaborators.h"
#include "recorder/recorder_state.h"

namespace tarnovox::testing {

class CallLog {
 public:
  std::vector<std::string> calls;
  int Count(const std::string& name) const {
    int n = 0;
    for (const auto& c : calls) n += c == name;
    return n;
  }
};

class FakePlayback : public PlaybackControl, public CallLog {
 public:
  explicit FakePlayback(RecorderState& state) : state_(state) {}
  void ClosePlayback() override {
    calls.push_back("ClosePlayback");
    if (state_.Playing()) state_.mode = RecorderMode::Monitoring;
    deviceOpen = false;
  }
  void PausePlayback() override { calls.push_back("PausePlayback"); }
  void ResumePlayback() override { calls.push_back("ResumePlayback"); }
  bool PlaybackOpen() const override { return deviceOpen; }
  void CloseMedia() override { calls.push_back("CloseMedia"); deviceOpen = false; }
  bool OpenVolume() override { calls.push_back("OpenVolume"); return volumeOpens; }
  void ReadVolume() override { calls.push_back("ReadVolume"); }
  void CloseVolume() override { calls.push_back("CloseVolume"); }
  bool deviceOpen = false;  // a playback's file is open
  bool volumeOpens = true;

 private:
  RecorderState& state_;
};

class FakeRecordings : public RecordingsLibrary, public CallLog {
 public:
  void Rescan() override { calls.push_back("Rescan"); }
  void ApplySort() override { calls.push_back("ApplySort"); }
  void SortColumnForSort() override { calls.push_back("SortColumnForSort"); }
};

class FakeShell : public DesktopShell, public CallLog {
 public:
  void CloseMixerWindows() override { calls.push_back("CloseMixerWindows"); }
};

}  // namespace tarnovox::testing
