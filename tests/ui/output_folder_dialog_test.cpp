#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include "tests/ui/ui_fixtures.h"
#include "ui/change_output_folder.h"
#include "ui/folder_choice.h"
#include "ui/output_folder_dialog.h"

namespace tarnovox {
namespace {

namespace fs = std::filesystem;
using testing::Child;
using testing::WhileOpen;

// The main window's Output Folder button around the dialog.
struct OutputFolderRig : testing::UiRig {
  OutputFolderRig() {
    for (const char* name : {"Rec", "rec", "other"}) fs::create_directory(temp / name);
    settings.folder = Folder("Rec");
    state.CurrentFile = state.ActiveFileName = "record3.wav";
  }
  bool PressOutputFolder() {
    return dialog.Choose(settings, state) && ChangeOutputFolder(settings, state, playback, recordings, ui);
  }
  void ExpectNothingChanged() const {
    EXPECT_EQ(settings.folder, Folder("Rec"));
    EXPECT_EQ(state.CurrentFile, "record3.wav");
    EXPECT_TRUE(recordings.calls.empty());
  }
  QString PathLabel() const { return Child<QLabel>(dialog, "pathLabel")->text(); }
  void Press(const char* button) { Child<QPushButton>(dialog, button)->click(); }

  OutputFolderDialog dialog;
};

TEST(FolderChoice, KeepsTheLastExistingFolderChosen) {
  testing::TempFolder temp;
  FolderChoice choice;
  choice.Show("/no/such/folder");
  EXPECT_EQ(choice.LabelText(), "/no/such/folder");
  choice.Select(temp.Path());
  choice.Select("");  // the computer's root node has no path
  EXPECT_EQ(choice.LabelText(), "");
  std::string folder = "/old";
  choice.Accept(folder);
  EXPECT_EQ(folder, temp.Path());

  fs::create_directory(temp / "gone");
  choice.Select(temp.File("gone"));
  fs::remove(temp / "gone");  // removed while the dialog was open
  choice.Accept(folder);
  EXPECT_EQ(folder, temp.Path());
}

TEST(OutputFolderDialog, OnlyOkOnAnotherFolderOutsideARecordingIsAChange) {
  OutputFolderRig rig;
  std::string labelAfterSelect, shownPath;
  WhileOpen([&] {
    rig.dialog.SelectFolder(rig.Folder("other"));
    labelAfterSelect = rig.PathLabel().toStdString();
    rig.Press("cancelButton");
  });
  EXPECT_FALSE(rig.PressOutputFolder());
  EXPECT_EQ(labelAfterSelect, rig.Folder("other"));
  // The cancelled choice is not carried into the next showing; OK on it changes nothing.
  WhileOpen([&] {
    shownPath = rig.PathLabel().toStdString();
    rig.Press("okButton");
  });
  EXPECT_FALSE(rig.PressOutputFolder());
  EXPECT_EQ(shownPath, rig.Folder("Rec"));
  rig.ExpectNothingChanged();

  rig.state.mode = RecorderMode::Recording;
  EXPECT_FALSE(testing::ShownBy(rig.dialog, [&] { EXPECT_FALSE(rig.PressOutputFolder()); }));
  // A hot key starts a recording while the dialog is open: OK acts as Cancel.
  rig.state.mode = RecorderMode::Monitoring;
  WhileOpen([&] {
    rig.dialog.SelectFolder(rig.Folder("other"));
    rig.state.mode = RecorderMode::Recording;
    rig.Press("okButton");
  });
  EXPECT_FALSE(rig.PressOutputFolder());
  rig.ExpectNothingChanged();
  rig.settings.folder = rig.Folder("other");
  EXPECT_FALSE(ChangeOutputFolder(rig.settings, rig.state, rig.playback, rig.recordings, rig.ui));
  EXPECT_EQ(rig.state.CurrentFile, "record3.wav");
  EXPECT_TRUE(rig.recordings.calls.empty());

  // Other letter case counts as a change.
  rig.settings.folder = rig.Folder("Rec");
  rig.playback.deviceOpen = true;
  rig.state.mode = RecorderMode::Playing;
  WhileOpen([&] {
    rig.dialog.SelectFolder(rig.Folder("rec"));
    rig.Press("okButton");
  });
  EXPECT_TRUE(rig.PressOutputFolder());
  EXPECT_EQ(rig.settings.folder, rig.Folder("rec"));
  EXPECT_EQ(rig.state.CurrentFile + rig.state.ActiveFileName, "");
  EXPECT_EQ(rig.playback.calls, std::vector<std::string>{"ClosePlayback"});
  EXPECT_EQ(fs::current_path(), fs::path(rig.Folder("rec")));
  EXPECT_EQ(rig.recordings.calls, (std::vector<std::string>{"Rescan", "ApplySort"}));
  EXPECT_EQ(rig.ui.busyChanges, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace tarnovox
