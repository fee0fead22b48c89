// Start-up: the shared state, the real platform backends, the subsystems in
// the order they need each other, the window and the two timers.
#include <QApplication>
#include <QTimer>
#include <filesystem>

#include "analysis/meter_analysis.h"
#include "app/qt_ui_hooks.h"
#include "app/recorder_panel.h"
#include "core/recorder_controller.h"
#include "library/playback.h"
#include "library/recordings_list.h"
#include "mp3/mp3_recorder.h"
#include "platform/dynamic_library.h"
#include "platform/media_player_pulse.h"
#include "platform/media_player_server.h"
#include "platform/process_info.h"
#include "platform/pulse_wave_in.h"
#include "platform/volume_device_pulse.h"

namespace tarnovox {
namespace {

// Nothing to close until the Recording Control button starts a mixer.
class NoMixerShell final : public DesktopShell {
 public:
  void CloseMixerWindows() override {}
};

int Run(QApplication& app) {
  const std::string exe = ExecutablePath();
  const std::string exeDir = std::filesystem::path(exe).parent_path().string();
  const std::string home = EnvOr("HOME", "/tmp");
  const bool exeDirWritable = FolderWritable(exeDir);

  RecordSettings settings;
  RecorderState state;
  SettingsStore store(settings,
                      SettingsStore::IniPathFor(exe, exeDirWritable, EnvOr("XDG_CONFIG_HOME", home + "/.config")));
  QtUiHooks hooks;
  PulseWaveIn captureDevice("Monitor");
  PulseWaveIn mp3Device("MP3 recording");
  CaptureEngine engine(captureDevice, settings, state, hooks);
  MeterAnalysis analysis(engine, settings, state);
  engine.SetAnalysis(&analysis);
  DlopenLoader loader;
  Mp3Recorder mp3(mp3Device, loader, settings, state, hooks);
  PulseServer server;
  PulseVolumeDevice volume(server);
  PulseMediaPlayer player(server, volume);
  Playback playback(player, volume, state, hooks);
  RecordingsList recordings(state, settings);
  NoMixerShell shell;
  SystemClock clock;
  StatfsDriveInfo drives;
  RecorderController controller(
      {settings, store, state, engine, mp3, playback, recordings, shell, hooks, clock, drives});

  RecorderPanel panel(settings, state);
  hooks.SetWindow(&panel);
  hooks.SetTimeDisplay([&] { panel.UpdateTimeDisplay(); });
  hooks.SetFormatLabels([&] { panel.UpdateFormatLabels(); });
  analysis.SetCanvas(&panel);
  recordings.AttachGrid(&panel);
  playback.SetView(&panel);
  panel.SetActions({[&] { controller.RecordButton(); }, [&] { controller.TogglePause(); },
                    [&] { controller.StopAll(); },
                    [&] {
                      if (!state.recording) playback.PlayPickedFile();
                    },
                    [&] { return controller.CloseQuery(); }, [&] { playback.PollPlayback(); }});

  FolderFallback fallback{exeDir, exeDirWritable, EnvOr("XDG_MUSIC_DIR", home + "/Music")};
  if (!controller.StartUp(fallback)) return 1;
  recordings.Rescan();
  recordings.ApplySort();

  QTimer timerRec;
  QObject::connect(&timerRec, &QTimer::timeout, [&] { controller.RecordTick(); });
  timerRec.start(100);
  QTimer timerStatus;
  QObject::connect(&timerStatus, &QTimer::timeout, [&] { panel.StatusTick(); });
  timerStatus.start(500);
  panel.onStatusInterval = [&](uint32_t ms) { timerStatus.start(static_cast<int>(ms)); };

  panel.show();
  return app.exec();
}

}  // namespace
}  // namespace tarnovox

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tarnovox");
  return tarnovox::Run(app);
}
