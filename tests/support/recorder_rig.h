#pragma once
// A recorder controller over a capture device, a clock and a drive test of the
// test's choosing, with doubles for everything else it drives. The recordings
// list is a double unless the test names the real one (RecordingsList), which
// then lists the rig's output folder.
#include <type_traits>

#include "recorder/recorder_controller.h"
#include "tests/support/recorder_doubles.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/temp_folder.h"

namespace tarnovox::testing {

template <typename Recordings>
Recordings MakeRecordings(RecorderState& state, RecordSettings& settings) {
  if constexpr (std::is_default_constructible_v<Recordings>) return Recordings();
  else return Recordings(state, settings);
}

template <typename Device, typename ClockType, typename Drive, typename Recordings = FakeRecordings>
struct RecorderRig {
  TempFolder dir;
  Device device;
  RecordSettings settings;
  SettingsStore store{settings, dir.File("tarnovox.INI")};
  RecorderState state;
  ScriptedUiHooks hooks;
  MessageGate gate{hooks};
  CaptureEngine engine{device, settings, state, gate};
  FakeMp3Recording mp3{state};
  FakePlayback playback{state};
  Recordings recordings = MakeRecordings<Recordings>(state, settings);
  FakeShell shell;
  ClockType clock;
  Drive drive;
  RecorderController controller{
      {settings, store, state, engine, mp3, playback, recordings, shell, gate, clock, drive, &gate}};

  // `n` ticks of 100 ms of a virtual clock and capture device.
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
      clock.Advance(100);
      device.Advance(100);
      controller.RecordTick();
    }
  }
};

}  // namespace tarnovox::testing
