#include "app/application.h"

#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QTimer>
#include <filesystem>
#include <utility>

#include "app/command_runner.h"
#include "app/desktop_notification.h"
#include "app/startup_trace.h"
#include "app/status_notifier_item.h"
#include "platform/process_info.h"
#include "platform/pulse_library.h"
#include "ui/change_output_folder.h"
#include "ui/tray_panel_icon.h"

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

// Before the program's event loop runs: shows the window and lets it paint its
// first picture, waiting up to maxMs for the display to expose it. Input
// waits in the queue until the event loop runs.
void ShowFirstPicture(QWidget& window, int maxMs) {
  QEventLoop loop;
  PaintWatch watch(loop);
  window.installEventFilter(&watch);
  window.show();
  QTimer::singleShot(maxMs, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  window.removeEventFilter(&watch);
}

// Between the steps of start-up, before the event loop runs: the window keeps
// painting; input stays queued.
void PaintMeanwhile() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

}  // namespace

ProgramPlace ProgramPlace::OfThisProcess() {
  ProgramPlace place;
  place.executable = ExecutablePath();
  place.folder = std::filesystem::path(place.executable).parent_path().string();
  place.folderWritable = FolderWritable(place.folder);
  place.home = EnvOr("HOME", "/tmp");
  return place;
}

std::string ProgramPlace::SettingsFile() const {
  return SettingsStore::IniPathFor(executable, folderWritable, EnvOr("XDG_CONFIG_HOME", home + "/.config"));
}

Application::Application(InstanceChannel& channel, const ProgramPlace& place)
    : channel_(channel),
      place_(place),
      store_(settings_, place.SettingsFile()),
      shell_("pavucontrol", {"--tab=4"}, QtDesktopShell::HelpFilesFor(QString::fromStdString(place.executable))),
      recorder_({settings_, store_, state_, engine_, loader_, playback_, recordings_, shell_, clock_, drives_,
                 &analysis_}) {
  StartupMark("subsystems");
  ConnectRecorder();
  ConnectMainWindow();
}

void Application::ConnectRecorder() {
  // The recorder's failures are shown once the command or tick that met them has finished.
  QObject::connect(&recorder_, &RecorderController::messageRaised,
                   [this](const QString& text) { hooks_.PostMessage(text.toStdString()); });
  QObject::connect(&recorder_, &RecorderController::recordingsChanged, [this] {
    hooks_.SetBusyCursor(true);
    recordings_.Rescan();
    hooks_.SetBusyCursor(false);
    recordings_.ApplySort();
  });
  QObject::connect(&recorder_, &RecorderController::elapsedChanged, &mainWindow_, &MainWindow::UpdateTimeDisplay);
  QObject::connect(&recorder_, &RecorderController::modeChanged, &mainWindow_, &MainWindow::ShowRecorderState);
  QObject::connect(&recorder_, &RecorderController::markShown, &mainWindow_, &MainWindow::ShowRecorderState);
}

void Application::ConnectMainWindow() {
  hooks_.SetWindow(&mainWindow_);
  hooks_.SetTimeDisplay([this] { mainWindow_.UpdateTimeDisplay(); });
  analysis_.SetCanvas(&mainWindow_);
  mainWindow_.SetSkinPictures(&skinPictures_);
  QObject::connect(&mainWindow_, &MainWindow::metersPaintDue, [this] {
    analysis_.SetMeterGeometry();
    analysis_.ClearMeterBitmaps();
    analysis_.DrawStereoMeters();
  });
  QObject::connect(&mainWindow_, &MainWindow::clearMetersRequested, [this] { analysis_.ClearMeterBitmaps(); });
  // A close asked for by the window manager is not held like input: until
  // start-up is complete it is refused, or the program would go on without a window.
  mainWindow_.SetCloseQuery([] { return false; });
}

int Application::Run() {
  const FolderFallback fallback{place_.folder, place_.folderWritable,
                                EnvOr("XDG_MUSIC_DIR", place_.home + "/Music")};
  StartupMark("main window");
  if (!recorder_.SettleFolder(fallback)) return 1;
  mainWindow_.UpdateFormatLabels();
  // The window is shown as soon as it shows the settings, and the rest is made
  // while it is on the screen. Input waits in the queue until start-up is
  // complete: until then the monitoring, the file list and the hot keys are
  // not there.
  ShowFirstPicture(mainWindow_, 50);
  StartupMark("shown");
  // The sound server's library is loaded once the window is up, before the
  // monitoring opens. Without it no sound can be recorded or played.
  if (std::string why; !LoadPulse(&why)) {
    hooks_.ShowMessage("Cannot reach any sound server: " + why);
    return 1;
  }
  if (!recorder_.OpenDevices()) return 1;
  StartupMark("recorder started");
  PaintMeanwhile();
  MakeWindowsAndDialogs();
  ConnectWindows();
  ConnectMainWindowCommands();

  const auto execute = [this](RecorderCommand command) { recorder_.Execute(command); };
  hotKeys_.emplace(&mainWindow_, execute, GlobalHotKeys::InWaylandSession());
  mainWindow_.StartTimers();
  recorder_.Start();
  StartupMark("hot keys");
  ShowOnDesktop();
  // Commands from this start's command line and from later starts run once
  // start-up is complete.
  channel_.SetRunner(
      CommandRunner(mainWindow_, execute, [this](const TakeTiming& timing) { recorder_.RecordTimed(timing); }));
  // Every window's icon, the dialogs' too. Decoding and sending it (a 256 x 256
  // picture) waits until the recorder already takes input.
  QTimer::singleShot(0, [] { QApplication::setWindowIcon(QIcon(":/tarnovox.png")); });
  const int status = QApplication::exec();
  channel_.SetRunner(nullptr);
  return status;
}

void Application::MakeWindowsAndDialogs() {
  // The file list fills its grid from the output folder as it is created.
  // The file list and the tag editor are tool windows that the main window
  // hides and shows with itself. Not Qt children: a window manager that
  // iconifies transients with their parent would fight the main window's own
  // hiding and iconify it again on restore.
  fileList_.emplace(settings_, state_, recordings_, playback_, hooks_);
  StartupMark("file list");
  PaintMeanwhile();
  playbackView_.emplace(mainWindow_, *fileList_);
  playback_.SetView(&*playbackView_);
  mainWindow_.SetFileList(&*fileList_, fileList_->FileLabel());

  folderDialog_.emplace(&mainWindow_);
  aboutDialog_.emplace(&mainWindow_);
  aboutDialog_->SetHelpPage(shell_.HelpPage());
  StartupMark("folder dialog, about box");
  conversionDialog_.emplace(&mainWindow_);
  conversionDialog_->SetGridEnabler([this](bool enabled) { fileList_->SetGridEnabled(enabled); });
  recordSettingsDialog_.emplace(&mainWindow_);
  recordSettingsDialog_->SetInputSources(&inputs_);
  tagEditor_.emplace(settings_, state_, drives_, playback_, recordings_, hooks_);
  mainWindow_.AddCompanion(&*tagEditor_);
  fileList_->SetSkinPictures(&skinPictures_);
  tagEditor_->SetSkinPictures(&skinPictures_);
  SkinPictures::ForgetDecodedSkin();
  StartupMark("dialogs, tag editor");
  PaintMeanwhile();
  // The conversion's worker hands its progress and outcome to the event loop.
  listConversion_.emplace(loader_, settings_, state_, hooks_, playback_, recordings_, *conversionDialog_,
                          [](std::function<void()> call) {
                            QMetaObject::invokeMethod(qApp, std::move(call), Qt::QueuedConnection);
                          });
}

void Application::ConnectWindows() {
  QObject::connect(&*fileList_, &FileListWindow::convertRequested,
                   [this](const std::vector<std::string>& files, ConversionTarget format) {
                     listConversion_->ConvertFiles(files, format);
                   });
  const FileListCommands& listCommands = fileList_->Commands();
  TagEditorWindow* tagEditor = &*tagEditor_;
  QObject::connect(&listCommands, &FileListCommands::pickStarted, tagEditor, &TagEditorWindow::ClearFields);
  QObject::connect(&listCommands, &FileListCommands::mp3Picked, tagEditor, &TagEditorWindow::DescribePickedMp3);
  QObject::connect(&listCommands, &FileListCommands::vorbisPicked, tagEditor, &TagEditorWindow::DescribePickedVorbis);
  QObject::connect(&listCommands, &FileListCommands::pickFinished, tagEditor, &TagEditorWindow::DisableSave);
  QObject::connect(&*fileList_, &FileListWindow::tagEditorToggleRequested, tagEditor, &TagEditorWindow::ToggleAt);
  QObject::connect(&mainWindow_, &MainWindow::fileListHidden, tagEditor, &TagEditorWindow::HideEditor);
  // Settings chosen while a hot key started a recording apply once it stops.
  QObject::connect(&recorder_, &RecorderController::stopped, [this] {
    if (recordSettingsDialog_->ApplyPending(settings_, state_)) mainWindow_.UpdateFormatLabels();
  });
}

void Application::ConnectMainWindowCommands() {
  MainWindow* window = &mainWindow_;
  QObject::connect(window, &MainWindow::recordClicked, [this] { recorder_.Execute(RecorderCommand::RecordWhenIdle); });
  QObject::connect(window, &MainWindow::pauseClicked, [this] { recorder_.Execute(RecorderCommand::Pause); });
  QObject::connect(window, &MainWindow::stopClicked, [this] { recorder_.Execute(RecorderCommand::Stop); });
  QObject::connect(window, &MainWindow::playClicked, [this] { playback_.PlayPickedFile(); });
  QObject::connect(window, &MainWindow::playbackPollDue, [this] { playback_.PollPlayback(); });
  mainWindow_.SetCloseQuery([this] { return CloseQuery(); });
  QObject::connect(window, &MainWindow::recordSettingsRequested,
                   [this] { recordSettingsDialog_->Edit(settings_, state_); });
  QObject::connect(window, &MainWindow::outputFolderRequested, [this] { folderDialog_->Choose(settings_, state_); });
  QObject::connect(window, &MainWindow::outputFolderChanged,
                   [this] { ChangeOutputFolder(settings_, state_, playback_, recordings_, hooks_); });
  QObject::connect(window, &MainWindow::helpRequested, [this] { shell_.OpenHelp(); });
  QObject::connect(window, &MainWindow::recordingMixerRequested, [this] { shell_.StartRecordingMixer(); });
  mainWindow_.SetMixerRunningQuery([this] { return shell_.MixerRunning(); });
  // The portal may settle or fail later: the box tells what is in use when
  // opened. The encoder library is loaded for its version then too, the first
  // time, not while the program starts.
  QObject::connect(window, &MainWindow::aboutRequested, [this] {
    if (!std::exchange(encoderVersionRead_, true))
      aboutDialog_->SetEncoderVersion(AboutDialog::LoadedEncoderVersion(loader_));
    aboutDialog_->SetHotKeys(hotKeys_->Description());
    aboutDialog_->exec();
  });
}

// The status icon and the notifications, once the recorder takes commands.
void Application::ShowOnDesktop() {
  const auto execute = [this](RecorderCommand command) { recorder_.Execute(command); };
  if (settings_.trayIcon) {
    // A panel's watcher on the session bus takes our own item, which can tell
    // the take's status; otherwise the X11 tray, if there is one, shows the icon.
    std::unique_ptr<PanelIcon> panel;
    if (StatusNotifierItem::WatcherPresent())
      panel = std::make_unique<StatusNotifierItem>();
    else
      panel = std::make_unique<TrayPanelIcon>();
    statusIcon_.emplace(state_, [this] { return static_cast<uint32_t>(recorder_.Elapsed().count()); },
                        std::move(panel));
    QObject::connect(&*statusIcon_, &StatusIcon::commandChosen, execute);
    QObject::connect(&*statusIcon_, &StatusIcon::showRequested, [this] { ShowAndRaise(mainWindow_); });
    QObject::connect(&*statusIcon_, &StatusIcon::quitRequested, &mainWindow_, &QWidget::close);
    QObject::connect(&recorder_, &RecorderController::modeChanged, &*statusIcon_, &StatusIcon::ShowState);
    QObject::connect(&recorder_, &RecorderController::elapsedChanged, &*statusIcon_, &StatusIcon::ShowState);
    statusIcon_->Show();
  }
  takeNotices_.emplace(recorder_, state_, settings_,
                       TakeNotices::Hooks{[this] { return mainWindow_.isActiveWindow(); }, SendDesktopNotification});
}

// The main window closes: a take is only ended after the user agreed, a
// conversion stops and leaves no part file, and then nothing starts a take
// again, also while the last message is open.
bool Application::CloseQuery() {
  if (state_.Recording() && !hooks_.AskYesNo("Are you sure you want to interrupt recording?", "Confirm")) return false;
  listConversion_->CancelAndWait();
  if (const std::string failure = recorder_.ShutDown(); !failure.empty()) hooks_.ShowMessage(failure);
  return true;
}

}  // namespace tarnovox
