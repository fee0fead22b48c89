// Start-up: the shared state, the real platform backends, the subsystems in
// the order they need each other, the windows in their creation order, the hot
// keys and the two timers.
#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QTimer>
#include <filesystem>
#include <iostream>
#include <thread>
#include <utility>

#include "analysis/meter_analysis.h"
#include "app/command_line.h"
#include "app/command_runner.h"
#include "app/global_hot_keys.h"
#include "app/instance_channel.h"
#include "app/qt_ui_hooks.h"
#include "app/startup_trace.h"
#include "recorder/recorder_controller.h"
#include "recordings/playback.h"
#include "recordings/recordings_list.h"
#include "recorder/mp3_recorder.h"
#include "formats/wav_to_mp3.h"
#include "platform/dynamic_library.h"
#include "platform/input_sources_pulse.h"
#include "platform/process_info.h"
#include "platform/pulse_connection.h"
#include "platform/pulse_library.h"
#include "platform/pulse_output_volume.h"
#include "platform/pulse_player.h"
#include "platform/pulse_wave_in.h"
#include "ui/change_output_folder.h"
#include "ui/form_about.h"
#include "ui/form_convert.h"
#include "ui/form_dir.h"
#include "ui/form_rec_settings.h"
#include "ui/image_bank.h"
#include "ui/main_playback_view.h"
#include "ui/qt_desktop_shell.h"
#include "ui/tform1.h"
#include "ui/tform2.h"
#include "ui/tform3.h"

namespace tarnovox {
namespace {

// Quits a loop once the watched window has painted.
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QEventLoop& loop) : loop_(loop) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) QMetaObject::invokeMethod(&loop_, &QEventLoop::quit, Qt::QueuedConnection);
    return false;
  }

 private:
  QEventLoop& loop_;
};

// Shows the window and lets it paint its first picture, waiting up to maxMs
// for the display to expose it. Input waits in the queue meanwhile.
void ShowFirstPicture(QWidget& window, int maxMs) {
  QEventLoop loop;
  PaintWatch watch(loop);
  window.installEventFilter(&watch);
  window.show();
  QTimer::singleShot(maxMs, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  window.removeEventFilter(&watch);
}

int Run(InstanceChannel& channel) {
  const std::string exe = ExecutablePath();
  const std::string exeDir = std::filesystem::path(exe).parent_path().string();
  const std::string home = EnvOr("HOME", "/tmp");
  const bool exeDirWritable = FolderWritable(exeDir);

  StartupMark("Run");
  RecordSettings settings;
  RecorderState state;
  SettingsStore store(settings,
                      SettingsStore::IniPathFor(exe, exeDirWritable, EnvOr("XDG_CONFIG_HOME", home + "/.config")));
  QtUiHooks hooks;
  // The recorder's failures are told once a command or tick has finished.
  MessageGate recorderMessages(hooks);
  PulseWaveIn captureDevice("Monitor");
  PulseWaveIn mp3Device("MP3 recording");
  CaptureEngine engine(captureDevice, settings, state, recorderMessages);
  MeterAnalysis analysis(engine, settings, state);
  engine.SetAnalysis(&analysis);
  DlopenLoader loader;
  Mp3Recorder mp3(mp3Device, loader, settings, state, recorderMessages);
  PulseConnection soundServer;
  PulseOutputVolume volume(soundServer);
  PulsePlayer player(soundServer, volume);
  PulseInputSources inputs(soundServer);
  Playback playback(player, volume, state, hooks);
  RecordingsList recordings(state, settings);
  QtDesktopShell shell("pavucontrol", {"--tab=4"}, QtDesktopShell::HelpFilesFor(QString::fromStdString(exe)));
  SystemClock clock;
  StatfsDriveInfo drives;
  RecorderController controller(
      {settings, store, state, engine, mp3, playback, recordings, shell, recorderMessages, clock, drives,
       &recorderMessages});

  StartupMark("subsystems");
  TForm1 form1(settings, state);
  hooks.SetWindow(&form1);
  hooks.SetTimeDisplay([&] { form1.UpdateTimeDisplay(); });
  hooks.SetFormatLabels([&] { form1.UpdateFormatLabels(); });
  analysis.SetCanvas(&form1);
  TForm4 form4;
  form1.SetImageBank(&form4);
  TForm1::Hooks& h = form1.hooks;
  h.paintMeters = [&] {
    analysis.SetMeterGeometry();
    analysis.ClearMeterBitmaps();
    analysis.DrawStereoMeters();
  };
  h.clearMeters = [&] { analysis.ClearMeterBitmaps(); };
  // A close asked for by the window manager is not held like input: until
  // start-up is complete it is refused, or the program would go on without a window.
  h.closeQuery = [] { return false; };

  FolderFallback fallback{exeDir, exeDirWritable, EnvOr("XDG_MUSIC_DIR", home + "/Music")};
  StartupMark("main window");
  if (!controller.SettleFolder(fallback)) return 1;
  // The window is shown as soon as it shows the settings, and the rest is made
  // while it is on the screen. Input waits in the queue until start-up is
  // complete: until then the monitoring, the file list and the hot keys are
  // not there.
  ShowFirstPicture(form1, 50);
  StartupMark("shown");
  const auto paintMeanwhile = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
  // The sound server's library is loaded once the window is up, before the
  // monitoring opens. Without it no sound can be recorded or played.
  if (std::string why; !LoadPulse(&why)) {
    hooks.ShowMessage("Cannot reach any sound server: " + why);
    return 1;
  }
  if (!controller.OpenDevices()) return 1;
  StartupMark("recorder started");
  paintMeanwhile();

  // The file list fills its grid from the output folder as it is created.
  // The file list and the tag editor are tool windows that the main window
  // hides and shows with itself. Not Qt children: a window manager that
  // iconifies transients with their parent would fight the main window's own
  // hiding and iconify it again on restore.
  TForm2 form2(settings, state, recordings, playback, hooks);
  StartupMark("file list");
  paintMeanwhile();
  MainPlaybackView playbackView(form1, form2);
  playback.SetView(&playbackView);
  form1.SetFileList(&form2, form2.LabFile);

  TFormDir formDir(&form1);
  TFormAbout formAbout(&form1);
  formAbout.SetHelpPage(shell.HelpPage());
  StartupMark("folder dialog, about box");
  TFormConvert formConvert(&form1);
  formConvert.SetGridEnabler([&](bool enabled) { form2.SGridFiles->setEnabled(enabled); });
  TFormRecSettings formRecSettings(&form1);
  formRecSettings.SetInputSources(&inputs);
  TForm3 form3(settings, state, drives, playback, recordings, hooks);
  form1.AddCompanion(&form3);
  form2.SetImageBank(&form4);
  form3.SetImageBank(&form4);
  TForm4::ForgetDecodedSkin();
  StartupMark("dialogs, tag editor");
  paintMeanwhile();

  WavToMp3 wavToMp3(loader, settings, state, hooks, playback, recordings, formConvert);
  form2.convert = [&] { wavToMp3.pmWav2MP3Click(); };
  FileListCommands::Hooks& listHooks = form2.Commands.hooks;
  listHooks.clearTagFields = [&] { form3.ClearFields(); };
  listHooks.describeMp3 = [&] { form3.DescribePickedMp3(); };
  listHooks.disableTagSave = [&] { form3.DisableSave(); };
  form2.toggleTagEditor = [&](const QPoint& topLeft) { form3.ToggleAt(topLeft); };

  // Settings chosen while a hot key started a recording apply once it stops.
  controller.SetAfterStop([&] {
    if (formRecSettings.ApplyPending(settings, state)) form1.UpdateFormatLabels();
  });
  h.record = [&] { controller.RecordButton(); };
  h.pause = [&] { controller.PauseButton(); };
  h.stop = [&] { controller.StopButton(); };
  h.play = [&] { playback.PlayPickedFile(); };
  h.recordTick = [&] { controller.RecordTick(); };
  h.pollPlayback = [&] { playback.PollPlayback(); };
  h.closeQuery = [&] { return controller.CloseQuery(); };
  h.recordSettings = [&] { formRecSettings.Edit(settings, state); };
  h.outputFolder = [&] { formDir.Choose(settings, state); };
  h.changeOutputFolder = [&] { ChangeOutputFolder(settings, state, playback, recordings, hooks); };
  h.help = [&] { shell.OpenHelp(); };
  h.recordingMixer = [&] { shell.StartRecordingMixer(); };
  h.mixerOpen = [&] { return shell.MixerRunning(); };
  h.hideTagEditor = [&] { form3.HideEditor(); };

  auto hotKey = [&](int id) { controller.HotKey(id); };
  GlobalHotKeys hotKeys(&form1, hotKey, GlobalHotKeys::InWaylandSession());
  // The portal may settle or fail later: the box tells what is in use when opened.
  // The encoder library is loaded for its version then too, the first time,
  // not while the program starts.
  bool encoderVersionRead = false;
  h.about = [&] {
    if (!std::exchange(encoderVersionRead, true))
      formAbout.SetEncoderVersion(TFormAbout::LoadedEncoderVersion(loader));
    formAbout.SetHotKeys(hotKeys.Description());
    formAbout.exec();
  };

  form1.StartTimers();
  StartupMark("hot keys");
  // Commands from this start's command line and from later starts run once
  // start-up is complete.
  channel.SetRunner(CommandRunner(form1, hotKey));
  // Every window's icon, the dialogs' too. Decoding and sending it (a 256 x 256
  // picture) waits until the recorder already takes input.
  QTimer::singleShot(0, [] { QApplication::setWindowIcon(QIcon(":/tarnovox.png")); });
  const int status = QApplication::exec();
  channel.SetRunner(nullptr);
  return status;
}

}  // namespace
}  // namespace tarnovox

int main(int argc, char** argv) {
  // Before the display, the settings, the sound server and the output folder:
  // a start that only answers, or hands its commands to the running recorder,
  // must leave that recorder's files and devices alone.
  tarnovox::StartupMark("main");
  const tarnovox::CommandLine line = tarnovox::ParseCommandLine({argv + 1, argv + argc});
  if (line.outcome != tarnovox::CommandLine::Outcome::Run) return tarnovox::PrintOutcome(line, std::cout, std::cerr);
  const QString channelName = tarnovox::InstanceChannel::DefaultName();
  if (auto status = tarnovox::InstanceChannel::HandOverToRunning(channelName, line.commands)) return *status;

  // In a Wayland session the windows go through XWayland, where docking, dragging,
  // window positions and key grabs work; native Wayland remains the fallback
  // when there is no XWayland. A platform the user chose is kept.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "xcb;wayland");
  // The font configuration loads on a thread of its own while the application
  // connects to the display, so the main window's first labels find it ready.
  // Qt reads it through the same library, which guards its one-time set-up.
  std::thread fonts([] { FcInit(); });
  QApplication app(argc, argv);
  fonts.join();
  tarnovox::TForm4::DecodeSkinMeanwhile();
  tarnovox::StartupMark("application");
  QApplication::setApplicationName("Tarnovox");
  tarnovox::InstanceChannel channel(channelName);
  if (auto status = channel.Claim(line.commands)) return *status;
  return tarnovox::Run(channel);
}
