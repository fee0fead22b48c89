#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>

#include "tests/support/recorder_doubles.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/dialog_driver.h"
#include "ui/change_output_folder.h"
#include "ui/folder_choice.h"
#include "ui/form_dir.h"

namespace tarnovox {
namespace {

namespace fs = std::filesystem;
using testing::FakePlayback;
using testing::FakeRecordings;
using testing::ScriptedUiHooks;
using testing::TempFolder;
using testing::WhileOpen;

// The main window's Output Folder button around the dialog.
struct OutputFolderRig {
  OutputFolderRig() : playback(state) {
    fs::create_directory(temp / "Rec");
    fs::create_directory(temp / "other");
    settings.Folder = Folder("Rec");
    state.CurrentFile = "record3.wav";
    state.ActiveFileName = "record3.wav";
  }
  ~OutputFolderRig() { fs::current_path(fs::temp_directory_path()); }
  std::string Folder(const std::string& name) const { return fs::canonical(temp.path()).append(name).string(); }
  bool PressOutputFolder(TFormDir& dialog) {
    return dialog.Choose(settings, state) && ChangeOutputFolder(settings, state, playback, recordings, hooks);
  }

  TempFolder temp;
  RecordSettings settings;
  RecorderState state;
  FakePlayback playback;
  FakeRecordings recordings;
  ScriptedUiHooks hooks;
};

TEST(FolderChoice, KeepsTheLastExistingFolderChosen) {
  TempFolder temp;
  FolderChoice choice;
  choice.Show("/no/such/folder");
  EXPECT_EQ(choice.LabelText(), "/no/such/folder");
  choice.Select(temp.Path());
  choice.Select("");  // the computer's root node has no path
  EXPECT_EQ(choice.LabelText(), "");
  EXPECT_EQ(choice.ChosenPath(), temp.Path());
  std::string folder = "/old";
  choice.Accept(folder);
  EXPECT_EQ(folder, temp.Path());

  std::string empty;
  choice.Accept(empty);
  EXPECT_EQ(empty, "");
  choice.Select(temp.File("gone"));
  fs::create_directory(temp / "gone");
  choice.Select(temp.File("gone"));
  fs::remove(temp / "gone");  // removed while the dialog was open
  folder = "/old";
  choice.Accept(folder);
  EXPECT_EQ(folder, "/old");

  EXPECT_TRUE(OutputFolderChanged("/music/Rec", "/music/rec"));
  EXPECT_FALSE(OutputFolderChanged("/music/Rec", "/music/Rec"));
  EXPECT_FALSE(OutputFolderChanged("/music/Rec", ""));
}

TEST(TFormDir, CancelAndOkOnTheSameFolderChangeNothing) {
  OutputFolderRig rig;
  TFormDir dialog;
  std::string labelAfterSelect;
  WhileOpen([&] {
    dialog.SelectFolder(rig.Folder("other"));
    labelAfterSelect = dialog.LabPath->text().toStdString();
    dialog.BtnCancel->click();
  });
  EXPECT_FALSE(rig.PressOutputFolder(dialog));
  EXPECT_EQ(labelAfterSelect, rig.Folder("other"));

  // The cancelled choice is not carried into the next showing.
  std::string shownPath;
  WhileOpen([&] {
    shownPath = dialog.LabPath->text().toStdString();
    dialog.BtnOK->click();
  });
  EXPECT_FALSE(rig.PressOutputFolder(dialog));
  EXPECT_EQ(shownPath, rig.Folder("Rec"));
  EXPECT_EQ(dialog.ChosenPath(), rig.Folder("Rec"));

  EXPECT_EQ(rig.settings.Folder, rig.Folder("Rec"));
  EXPECT_EQ(rig.state.CurrentFile, "record3.wav");
  EXPECT_TRUE(rig.recordings.calls.empty());
}

TEST(TFormDir, OtherLetterCaseCountsAsAChange) {
  OutputFolderRig rig;
  fs::create_directory(rig.temp / "rec");
  rig.state.playing = true;
  rig.playback.deviceOpen = true;
  TFormDir dialog;
  WhileOpen([&] {
    dialog.SelectFolder(rig.Folder("rec"));
    dialog.BtnOK->click();
  });
  EXPECT_TRUE(rig.PressOutputFolder(dialog));
  EXPECT_EQ(rig.settings.Folder, rig.Folder("rec"));
  EXPECT_EQ(rig.state.CurrentFile, "");
  EXPECT_EQ(rig.state.ActiveFileName, "");
  EXPECT_EQ(rig.playback.calls, std::vector<std::string>{"ClosePlayback"});
  EXPECT_EQ(fs::current_path(), fs::path(rig.Folder("rec")));
  EXPECT_EQ(rig.recordings.calls, (std::vector<std::string>{"Rescan", "ApplySort"}));
  EXPECT_EQ(rig.hooks.busyChanges, (std::vector<bool>{true, false}));
}

TEST(TFormDir, ARecordingKeepsItsFolderAndFile) {
  OutputFolderRig rig;
  TFormDir dialog;
  rig.state.recording = true;
  bool shown = false;
  WhileOpen([&] {
    shown = dialog.isVisible();
    dialog.close();
  });
  EXPECT_FALSE(rig.PressOutputFolder(dialog));
  QCoreApplication::processEvents();  // runs the steps when Choose did not
  EXPECT_FALSE(shown);

  // A hot key starts a recording while the dialog is open: OK acts as Cancel.
  rig.state.recording = false;
  WhileOpen([&] {
    dialog.SelectFolder(rig.Folder("other"));
    rig.state.recording = true;
    dialog.BtnOK->click();
  });
  EXPECT_FALSE(rig.PressOutputFolder(dialog));
  EXPECT_EQ(rig.settings.Folder, rig.Folder("Rec"));

  rig.settings.Folder = rig.Folder("other");
  EXPECT_FALSE(ChangeOutputFolder(rig.settings, rig.state, rig.playback, rig.recordings, rig.hooks));
  EXPECT_EQ(rig.state.CurrentFile, "record3.wav");
  EXPECT_TRUE(rig.recordings.calls.empty());
}

}  // namespace
}  // namespace tarnovox
