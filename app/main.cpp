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
#include "formats/wav_to_mp3.h"
#include "platform/dynamic_library.h"
#include "platform/input_sources_pulse.h"
#include "platform/process_info.h"
#include "platform/pulse_connection.h"
#include "platform/pulse_library.h"
#include "platform/pulse_capture_stream.h"
#include "platform/pulse_output_volume.h"
#include "platform/pulse_player.h"
#include "ui/about_dialog.h"
#include "ui/change_output_folder.h"
#include "ui/conversion_progress_dialog.h"
#include "ui/file_list_window.h"
#include "ui/main_playback_view.h"
#include "ui/main_window.h"
#include "ui/output_folder_dialog.h"
#include "ui/qt_desktop_shell.h"
#include "ui/record_settings_dialog.h"
#include "ui/skin_pictures.h"
#include "ui/tag_editor_window.h"

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
  // The streams outlive the engine that reads them.
  PulseCaptureStream monitorStream("Monitor");
  PulseCaptureStream mp3Stream("MP3 recording");
  CaptureEngine engine(monitorStream, mp3Stream);
  MeterAnalysis analysis(engine, settings, state);
  DlopenLoader loader;
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
      {settings, store, state, engine, loader, playback, recordings, shell, clock, drives, &analysis});
  // The recorder's failures are shown once the command or tick that met them has finished.
  QObject::connect(&controller, &RecorderController::messageRaised,
                   [&](const QString& text) { hooks.PostMessage(text.toStdString()); });
  QObject::connect(&controller, &RecorderController::recordingsChanged, [&] {
    hooks.SetBusyCursor(true);
    recordings.Rescan();
    hooks.SetBusyCursor(false);
    recordings.ApplySort();
  });

  StartupMark("subsystems");
  MainWindow mainWindow(settings, state);
  hooks.SetWindow(&mainWindow);
  hooks.SetTimeDisplay([&] { mainWindow.UpdateTimeDisplay(); });
  hooks.SetFormatLabels([&] { mainWindow.UpdateFormatLabels(); });
  QObject::connect(&controller, &RecorderController::elapsedChanged, &mainWindow, &MainWindow::UpdateTimeDisplay);
  analysis.SetCanvas(&mainWindow);
  SkinPictures skinPictures;
  mainWindow.SetSkinPictures(&skinPictures);
  QObject::connect(&mainWindow, &MainWindow::metersPaintDue, [&] {
    analysis.SetMeterGeometry();
    analysis.ClearMeterBitmaps();
    analysis.DrawStereoMeters();
  });
  QObject::connect(&mainWindow, &MainWindow::clearMetersRequested, [&] { analysis.ClearMeterBitmaps(); });
  // A close asked for by the window manager is not held like input: until
  // start-up is complete it is refused, or the program would go on without a window.
  mainWindow.SetCloseQuery([] { return false; });

  FolderFallback fallback{exeDir, exeDirWritable, EnvOr("XDG_MUSIC_DIR", home + "/Music")};
  StartupMark("main window");
  if (!controller.SettleFolder(fallback)) return 1;
  mainWindow.UpdateFormatLabels();
  // The window is shown as soon as it shows the settings, and the rest is made
  // while it is on the screen. Input waits in the queue until start-up is
  // complete: until then the monitoring, the file list and the hot keys are
  // not there.
  ShowFirstPicture(mainWindow, 50);
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
  FileListWindow fileList(settings, state, recordings, playback, hooks);
  StartupMark("file list");
  paintMeanwhile();
  MainPlaybackView playbackView(mainWindow, fileList);
  playback.SetView(&playbackView);
  mainWindow.SetFileList(&fileList, fileList.FileLabel());

  OutputFolderDialog folderDialog(&mainWindow);
  AboutDialog aboutDialog(&mainWindow);
  aboutDialog.SetHelpPage(shell.HelpPage());
  StartupMark("folder dialog, about box");
  ConversionProgressDialog conversionDialog(&mainWindow);
  conversionDialog.SetGridEnabler([&](bool enabled) { fileList.SetGridEnabled(enabled); });
  RecordSettingsDialog recordSettingsDialog(&mainWindow);
  recordSettingsDialog.SetInputSources(&inputs);
  TagEditorWindow tagEditor(settings, state, drives, playback, recordings, hooks);
  mainWindow.AddCompanion(&tagEditor);
  fileList.SetSkinPictures(&skinPictures);
  tagEditor.SetSkinPictures(&skinPictures);
  SkinPictures::ForgetDecodedSkin();
  StartupMark("dialogs, tag editor");
  paintMeanwhile();

  WavToMp3 wavToMp3(loader, settings, state, hooks, playback, recordings, conversionDialog);
  QObject::connect(&fileList, &FileListWindow::convertRequested, [&] { wavToMp3.pmWav2MP3Click(); });
  const FileListCommands& listCommands = fileList.Commands();
  QObject::connect(&listCommands, &FileListCommands::pickStarted, &tagEditor, &TagEditorWindow::ClearFields);
  QObject::connect(&listCommands, &FileListCommands::mp3Picked, &tagEditor, &TagEditorWindow::DescribePickedMp3);
  QObject::connect(&listCommands, &FileListCommands::pickFinished, &tagEditor, &TagEditorWindow::DisableSave);
  QObject::connect(&fileList, &FileListWindow::tagEditorToggleRequested, &tagEditor, &TagEditorWindow::ToggleAt);

  // Settings chosen while a hot key started a recording apply once it stops.
  QObject::connect(&controller, &RecorderController::stopped, [&] {
    if (recordSettingsDialog.ApplyPending(settings, state)) mainWindow.UpdateFormatLabels();
  });
  QObject::connect(&mainWindow, &MainWindow::recordClicked,
                   [&] { controller.Execute(RecorderCommand::RecordWhenIdle); });
  QObject::connect(&mainWindow, &MainWindow::pauseClicked, [&] { controller.Execute(RecorderCommand::Pause); });
  QObject::connect(&mainWindow, &MainWindow::stopClicked, [&] { controller.Execute(RecorderCommand::Stop); });
  QObject::connect(&mainWindow, &MainWindow::playClicked, [&] { playback.PlayPickedFile(); });
  QObject::connect(&mainWindow, &MainWindow::playbackPollDue, [&] { playback.PollPlayback(); });
  mainWindow.SetCloseQuery([&] {
    if (state.recording && !hooks.AskYesNo("Are you sure you want to interrupt recording?", "Confirm")) return false;
    // From here on no command starts a take, also while a message is open.
    if (const std::string failure = controller.ShutDown(); !failure.empty()) hooks.ShowMessage(failure);
    return true;
  });
  QObject::connect(&mainWindow, &MainWindow::recordSettingsRequested,
                   [&] { recordSettingsDialog.Edit(settings, state); });
  QObject::connect(&mainWindow, &MainWindow::outputFolderRequested, [&] { folderDialog.Choose(settings, state); });
  QObject::connect(&mainWindow, &MainWindow::outputFolderChanged,
                   [&] { ChangeOutputFolder(settings, state, playback, recordings, hooks); });
  QObject::connect(&mainWindow, &MainWindow::helpRequested, [&] { shell.OpenHelp(); });
  QObject::connect(&mainWindow, &MainWindow::recordingMixerRequested, [&] { shell.StartRecordingMixer(); });
  mainWindow.SetMixerRunningQuery([&] { return shell.MixerRunning(); });
  QObject::connect(&mainWindow, &MainWindow::fileListHidden, &tagEditor, &TagEditorWindow::HideEditor);

  auto execute = [&](RecorderCommand command) { controller.Execute(command); };
  GlobalHotKeys hotKeys(&mainWindow, execute, GlobalHotKeys::InWaylandSession());
  // The portal may settle or fail later: the box tells what is in use when opened.
  // The encoder library is loaded for its version then too, the first time,
  // not while the program starts.
  bool encoderVersionRead = false;
  QObject::connect(&mainWindow, &MainWindow::aboutRequested, [&] {
    if (!std::exchange(encoderVersionRead, true))
      aboutDialog.SetEncoderVersion(AboutDialog::LoadedEncoderVersion(loader));
    aboutDialog.SetHotKeys(hotKeys.Description());
    aboutDialog.exec();
  });

  mainWindow.StartTimers();
  controller.Start();
  StartupMark("hot keys");
  // Commands from this start's command line and from later starts run once
  // start-up is complete.
  channel.SetRunner(CommandRunner(mainWindow, execute));
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
  tarnovox::SkinPictures::DecodeSkinMeanwhile();
  tarnovox::StartupMark("application");
  QApplication::setApplicationName("Tarnovox");
  tarnovox::InstanceChannel channel(channelName);
  if (auto status = channel.Claim(line.commands)) return *status;
  return tarnovox::Run(channel);
}
