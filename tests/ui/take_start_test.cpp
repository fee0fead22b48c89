// A take started by F5 while a modal dialog is open, with the dialog's own
// action (a new output folder, the MP3 page of the record settings, the about
// box's OK) already waiting in the queue: starting the take runs no events, so
// the action comes after the take has begun and can neither change its format
// or folder nor cut it short.
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

#include "recordings/recordings_list.h"
#include "tests/support/manual_clock.h"
#include "tests/support/recorder_rig.h"
#include "tests/support/sound_check.h"
#include "tests/ui/ui_fixtures.h"
#include "ui/about_dialog.h"
#include "ui/change_output_folder.h"
#include "ui/output_folder_dialog.h"
#include "ui/record_settings_dialog.h"

namespace tarnovox {
namespace {

namespace fs = std::filesystem;
using testing::Child;

struct TakeStartRig : testing::RecorderRig<testing::ManualClock, StatfsDriveInfo, RecordingsList> {
  TakeStartRig() {
    fs::create_directory(dir.File("out"));
    fs::create_directory(dir.File("other"));
    settings.folder = fs::canonical(dir.File("out")).string();
    settings.format = OutputFormat::Wav;
    fs::current_path(settings.folder);
    engine.OpenMonitoring("");
  }
  ~TakeStartRig() { fs::current_path(previous); }

  // Inside the dialog's loop: its action is queued, then F5 starts the take.
  // The take has begun, whole and in WAV, before the action can run.
  void F5BehindQueued(std::function<void()> action) {
    QTimer::singleShot(0, [this, action] {
      QTimer::singleShot(0, action);
      controller.Execute(RecorderCommand::Record);
      startedAsWav = state.Recording() && state.ActiveFileName == "record1.wav" &&
                     fs::exists(settings.folder + "/record1.wav");
    });
  }
  // 3 s more, then Stop: one take of every frame captured, in the output folder.
  void ExpectWholeTake() {
    Ticks(30);
    controller.Execute(RecorderCommand::Stop);
    const auto file = dir.Read("out/record1.wav");
    EXPECT_EQ(file.size(), 44u + 30 * 17640);
    EXPECT_TRUE(testing::ReadWav(file).sizesMatch);
    EXPECT_EQ(testing::FakeCaptureStream::ConsecutiveFrames(file, 0), 30u * 4410);
    EXPECT_TRUE(messages.empty()) << messages[0];
  }

  fs::path previous = fs::current_path();
  testing::ScriptedUiHooks ui;
  bool startedAsWav = false;
};

TEST(TakeStart, ADialogsActionQueuedBehindF5ComesAfterTheTakeBegan) {
  {
    SCOPED_TRACE("the output folder dialog's OK on another folder");
    TakeStartRig rig;
    OutputFolderDialog dialog;
    rig.F5BehindQueued([&] {
      dialog.SelectFolder(rig.dir.File("other"));
      Child<QPushButton>(dialog, "okButton")->click();
    });
    const std::string folder = rig.settings.folder;
    if (dialog.Choose(rig.settings, rig.state))
      ChangeOutputFolder(rig.settings, rig.state, rig.playback, rig.recordings, rig.ui);
    EXPECT_TRUE(rig.startedAsWav);
    EXPECT_EQ(rig.settings.folder, folder);  // OK acts as Cancel once a take runs
    EXPECT_EQ(fs::current_path(), fs::path(folder));
    rig.ExpectWholeTake();
  }
  {
    SCOPED_TRACE("the record settings' MP3 page and OK");
    TakeStartRig rig;
    RecordSettingsDialog dialog;
    rig.F5BehindQueued([&] {
      Child<QTabWidget>(dialog, "formatPages")->setCurrentIndex(1);
      Child<QPushButton>(dialog, "okButton")->click();
    });
    dialog.Edit(rig.settings, rig.state);
    EXPECT_TRUE(rig.startedAsWav);
    EXPECT_EQ(rig.settings.format, OutputFormat::Wav);  // the take keeps the format it began with
    QObject::connect(&rig.controller, &RecorderController::stopped,
                     [&] { dialog.ApplyPending(rig.settings, rig.state); });
    rig.ExpectWholeTake();
    EXPECT_EQ(rig.settings.format, OutputFormat::Mp3);  // the choice applies once the take ended
  }
  {
    SCOPED_TRACE("the about box's OK");
    TakeStartRig rig;
    AboutDialog about;
    rig.F5BehindQueued([&] { Child<QPushButton>(about, "okButton")->click(); });
    about.exec();
    EXPECT_TRUE(rig.startedAsWav);
    rig.ExpectWholeTake();
  }
}

}  // namespace
}  // namespace tarnovox
