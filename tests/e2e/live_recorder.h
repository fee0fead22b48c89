#pragma once
// The recorder as the program wires it, with both capture streams on the real
// sound server and the real encoder library; playback and the file list are
// doubles.
#include <cstdlib>
#include <string>

#include "recorder/recorder_controller.h"
#include "recorder/mp3_recorder.h"
#include "platform/dynamic_library.h"
#include "platform/pulse_wave_in.h"
#include "tests/e2e/sound_rig.h"
#include "tests/support/recorder_doubles.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/temp_folder.h"

namespace tarnovox::testing {

struct LiveRecorder {
  TempFolder dir;
  PulseWaveIn monitor{"Monitor"};
  PulseWaveIn mp3Device{"MP3 recording"};
  RecordSettings settings;
  SettingsStore store{settings, dir.File("tarnovox.INI")};
  RecorderState state;
  ScriptedUiHooks hooks;
  MessageGate gate{hooks};
  CaptureEngine engine{monitor, settings, state, gate};
  DlopenLoader loader;
  Mp3Recorder mp3{mp3Device, loader, settings, state, gate};
  FakePlayback playback{state};
  FakeRecordings recordings;
  FakeShell shell;
  SystemClock clock;
  StatfsDriveInfo drive;
  RecorderController controller{
      {settings, store, state, engine, mp3, playback, recordings, shell, gate, clock, drive, &gate}};

  // `source` as the settings hold it (empty: the default input).
  explicit LiveRecorder(bool wav, const std::string& source = {}) {
    settings.Folder = dir.Path();
    settings.Wav = wav;
    settings.MP3 = !wav;
    settings.Source = source;
    engine.OpenMonitorDevice();
  }
  ~LiveRecorder() { engine.CloseCaptureDevice(); }
  void Ticks(int n) { TickFor(n, [this] { controller.RecordTick(); }); }
};

}  // namespace tarnovox::testing
