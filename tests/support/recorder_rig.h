#pragma once
// A recorder controller over virtual-time capture streams, a clock and a drive
// test of the test's choosing, the scripted encoder library, and doubles for
// everything else it drives. The recordings list is a double unless the test
// names the real one (RecordingsList), which then lists the rig's output folder.
// Messages the recorder raises are collected in `messages`.
#include <string>
#include <type_traits>
#include <vector>

#include "recorder/recorder_controller.h"
#include "tests/support/fake_capture_stream.h"
#include "tests/support/fake_lame_library.h"
#include "tests/support/recorder_doubles.h"
#include "tests/support/temp_folder.h"

namespace tarnovox::testing {

template <typename Recordings>
Recordings MakeRecordings(RecorderState& state, RecordSettings& settings) {
  if constexpr (std::is_default_constructible_v<Recordings>) return Recordings();
  else return Recordings(state, settings);
}

template <typename ClockType, typename Drive, typename Recordings = FakeRecordings,
          typename EncoderLibrary = FakeLameLibrary>
struct RecorderRig {
  TempFolder dir;
  FakeCaptureStream device;     // monitoring, and a WAV take
  FakeCaptureStream mp3Stream;  // an MP3 take
  EncoderLibrary lame;
  RecordSettings settings;
  SettingsStore store{settings, dir.File("tarnovox.INI")};
  RecorderState state;
  CaptureEngine engine{device, mp3Stream};
  FakePlayback playback{state};
  Recordings recordings = MakeRecordings<Recordings>(state, settings);
  FakeShell shell;
  ClockType clock;
  Drive drive;
  RecorderController controller{
      {settings, store, state, engine, lame, playback, recordings, shell, clock, drive, nullptr}};
  std::vector<std::string> messages;
  int listChanges = 0;

  RecorderRig() {
    QObject::connect(&controller, &RecorderController::messageRaised,
                     [this](const QString& text) { messages.push_back(text.toStdString()); });
    QObject::connect(&controller, &RecorderController::recordingsChanged, [this] {
      ++listChanges;
      recordings.Rescan();
      recordings.ApplySort();
    });
  }

  // `n` ticks of 100 ms of the virtual clock and capture streams; the capture
  // thread's work is done before each tick.
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
      clock.Advance(100);
      device.Advance(100);
      mp3Stream.Advance(100);
      engine.Pump();
      controller.Tick();
    }
  }
};

}  // namespace tarnovox::testing
