#pragma once
// A recorder controller over a capture device, a clock and a drive test of the
// test's choosing, with doubles for everything else it drives.
#include "core/recorder_controller.h"
#include "tests/support/recorder_doubles.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/temp_folder.h"

namespace tarnovox::testing {

template <typename Device, typename ClockType, typename Drive>
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
  FakeRecordings recordings;
  FakeShell shell;
  ClockType clock;
  Drive drive;
  RecorderController controller{
      {settings, store, state, engine, mp3, playback, recordings, shell, gate, clock, drive, &gate}};
};

}  // namespace tarnovox::testing
