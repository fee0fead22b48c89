#pragma once
// The recorder as the program wires it: both capture streams on the real sound
// server, the capture thread running, and the real encoder library; playback
// and the file list are doubles. The test plays the window thread: it calls
// the recorder's tick (Ticks) or leaves it alone for as long as it likes.
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/dynamic_library.h"
#include "platform/pulse_capture_stream.h"
#include "recorder/recorder_controller.h"
#include "tests/e2e/sound_rig.h"
#include "tests/support/recorder_doubles.h"
#include "tests/support/temp_folder.h"

namespace tarnovox::testing {

// Counts the blocks of sound the recorder's tick hands to the meters and
// keeps the last one.
struct MeterCount : CaptureAnalysis {
  void Analyse(const MeterBlock& block, bool) override {
    ++blocks;
    last = block;
  }
  int blocks = 0;
  MeterBlock last;
};

struct LiveRecorder {
  TempFolder dir;
  DlopenLoader loader;  // outlives the engine, as in the program
  PulseCaptureStream monitor{"Monitor"};
  PulseCaptureStream mp3Stream{"MP3 recording"};
  CaptureEngine engine{monitor, mp3Stream};
  RecordSettings settings;
  SettingsStore store{settings, dir.File("tarnovox.INI")};
  RecorderState state;
  FakePlayback playback{state};
  FakeRecordings recordings;
  FakeShell shell;
  SystemClock clock;
  StatfsDriveInfo drive;
  MeterCount meters;
  RecorderController controller{
      {settings, store, state, engine, loader, playback, recordings, shell, clock, drive, &meters}};
  std::vector<std::string> messages;

  // `source` as the settings hold it (empty: the default input).
  explicit LiveRecorder(bool wav, const std::string& source = {}) {
    settings.folder = dir.Path();
    settings.format = wav ? OutputFormat::Wav : OutputFormat::Mp3;
    settings.inputSource = source;
    QObject::connect(&controller, &RecorderController::messageRaised,
                     [this](const QString& text) { messages.push_back(text.toStdString()); });
    controller.OpenDevices();
    engine.StartThread();
  }
  ~LiveRecorder() { engine.StopThread(); }
  void Ticks(int n) { TickFor(n, [this] { controller.Tick(); }); }
};

}  // namespace tarnovox::testing
