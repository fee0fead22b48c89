// The file list window on real files in a temporary folder: picking a row
// describes the file, the header sorts, the menu follows the picked file, and
// rename, delete and the position bar act as the user expects.
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "core/wave_format.h"
#include "library/playback.h"
#include "tags/mp3_file_tags.h"
#include "tests/support/fake_media_player.h"
#include "tests/support/fake_volume_device.h"
#include "tests/support/plain_tag_editor.h"
#include "tests/support/scripted_ui_hooks.h"
#include "tests/support/temp_folder.h"
#include "ui/main_playback_view.h"
#include "ui/tform1.h"
#include "ui/file_list_rules.h"
#include "ui/tform2.h"

namespace tarnovox {
namespace {

using testing::FakeMediaPlayer;
using testing::FakeVolumeDevice;
using testing::PlainTagEditor;
using testing::ScriptedUiHooks;
using testing::TempFolder;

class TForm2Test : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    settings.Folder = folder.Path();
    settings.Sort = 5;  // oldest first
    WriteMonoWave("voice.wav", 100);
    folder.Write("music.wma", 4000, 1'600'000'200);
    folder.Write("take.wav", 3000, 1'600'000'300);
    player.lengths = {{"take.wav", 10000}};
    list.SortColumnForSort();
    form2 = std::make_unique<TForm2>(settings, state, list, playback, ui);
    view = std::make_unique<MainPlaybackView>(form1, *form2);
    playback.SetView(view.get());
    form2->Commands.hooks.describeMp3 = [this] { tags.DescribeMp3File(); };
    form2->Commands.hooks.askText = [this](const std::string&, const std::string& initial) {
      asked.push_back(initial);
      return renameAnswer;
    };
    form2->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form2.get()));
  }
  void TearDown() override {
    playback.SetView(nullptr);
    std::filesystem::current_path(previous_);
  }

  // A mono 11025 Hz file, older than the others.
  void WriteMonoWave(const std::string& name, uint32_t dataBytes) {
    WaveHeaderFields fields{1, 11025, 22050, 2, 16, dataBytes};
    const auto header = MakeWaveHeader(fields);
    folder.WriteText(name, std::string(header.begin(), header.end()) + std::string(dataBytes, '\0'));
    struct timespec times[2] = {{1'600'000'000, 0}, {1'600'000'000, 0}};
    ::utimensat(AT_FDCWD, folder.File(name).c_str(), times, 0);
  }
  int RowOf(const std::string& name) const {
    for (int row = 1; row <= list.Count; ++row)
      if (list.RowFile(row) == name) return row;
    return 0;
  }
  void ClickRow(int row, Qt::MouseButton button = Qt::LeftButton) {
    QWidget* cells = form2->SGridFiles->viewport();
    const QRect place = form2->SGridFiles->visualRect(form2->SGridFiles->model()->index(row - 1, 1));
    QTest::mouseClick(cells, button, {}, place.center());
  }
  void ClickHeader(int x) {
    QWidget* header = form2->SGridFiles->Header()->viewport();
    QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(x, 8));
  }
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int row = 1; row <= list.Count; ++row) rows.push_back(form2->SGridFiles->Cell(0, row).trimmed().toStdString());
    return rows;
  }

  TempFolder folder;
  std::filesystem::path previous_;
  RecordSettings settings;
  RecorderState state;
  ScriptedUiHooks ui;
  FakeMediaPlayer player;
  FakeVolumeDevice volume;
  Playback playback{player, volume, state, ui};
  RecordingsList list{state, settings};
  PlainTagEditor editor;
  Mp3FileTags tags{state, editor, ui};
  TForm1 form1{settings, state};
  std::unique_ptr<TForm2> form2;
  std::unique_ptr<MainPlaybackView> view;
  std::optional<std::string> renameAnswer;
  std::vector<std::string> asked;
};

TEST_F(TForm2Test, SelectingARowDescribesTheFile) {
  ASSERT_EQ(list.Count, 3);
  ClickRow(RowOf("voice.wav"));
  EXPECT_EQ(state.CurrentFile, "voice.wav");
  EXPECT_EQ(state.PickedFile, "voice.wav");
  EXPECT_EQ(state.FileChannels, 1);
  EXPECT_EQ(state.FileSampleRate, 11025u);

  // A WMA file is picked but not read: the channel count falls back to 2.
  ClickRow(RowOf("music.wma"));
  EXPECT_EQ(state.PickedFile, "music.wma");
  EXPECT_EQ(state.FileChannels, 2);
  EXPECT_EQ(state.FileSampleRate, 11025u);

  // While a recording runs the highlight moves but nothing else does.
  state.recording = true;
  ClickRow(RowOf("take.wav"));
  EXPECT_EQ(state.PickedFile, "music.wma");
}

TEST_F(TForm2Test, SelectingAnMp3ReadsItsFrameHeader) {
  if (std::system("command -v sox >/dev/null && command -v lame >/dev/null") != 0) GTEST_SKIP() << "no sox/lame";
  const std::string command = "sox -n -r 22050 -c 1 -b 16 tone.wav synth 1 sine 440 && "
                              "lame --quiet -m m tone.wav tone.mp3 && rm tone.wav";
  ASSERT_EQ(std::system(command.c_str()), 0);
  list.Rescan();
  list.ApplySort();
  ClickRow(RowOf("tone.mp3"));
  EXPECT_EQ(state.CurrentFile, "tone.mp3");
  EXPECT_EQ(state.FileChannels, 1);
  EXPECT_EQ(state.FileSampleRate, 22050u);
}

TEST_F(TForm2Test, HeaderClickSortsAndShowsTheSortedColumnPressed) {
  EXPECT_EQ(Rows(), (std::vector<std::string>{"voice.wav", "music.wma", "take.wav"}));
  ClickHeader(60);  // well inside the Name column
  EXPECT_EQ(settings.Sort, 1);
  EXPECT_EQ(list.SortColumn, 0);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"music.wma", "take.wav", "voice.wav"}));
  const QImage header = form2->SGridFiles->Header()->grab().toImage();
  EXPECT_EQ(header.pixelColor(20, 12), QColor(0, 0, 208));                     // pressed Name
  EXPECT_EQ(header.pixelColor(settings.Col0 + 3, 12), QColor(0, 0, 176));     // Size
  ClickHeader(60);
  EXPECT_EQ(settings.Sort, 2);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"voice.wav", "take.wav", "music.wma"}));

  // Released next to a column border (the end of a width drag): no sort, but
  // the widths are kept.
  form2->SGridFiles->setColumnWidth(0, 150);
  ClickHeader(148);
  EXPECT_EQ(settings.Sort, 2);
  EXPECT_EQ(settings.Col0, 150);
}

TEST_F(TForm2Test, MenuItemsFollowThePickedFile) {
  ClickRow(RowOf("take.wav"));
  EXPECT_TRUE(form2->pmRename->isEnabled());
  EXPECT_TRUE(form2->pmWav2MP3->isEnabled());
  EXPECT_TRUE(form2->pmDelete->isEnabled());
  ClickRow(RowOf("music.wma"));
  EXPECT_TRUE(form2->pmRename->isEnabled());
  EXPECT_FALSE(form2->pmWav2MP3->isEnabled());
  EXPECT_TRUE(form2->pmDelete->isEnabled());
  // "TAKE.Wav" counts as WAV; a recording in progress allows nothing.
  state.CurrentFile = "TAKE.Wav";
  EXPECT_TRUE(MenuStateFor(state).pmWav2MP3);
  state.recording = true;
  ClickRow(RowOf("voice.wav"));
  EXPECT_FALSE(form2->pmRename->isEnabled());
  EXPECT_FALSE(form2->pmWav2MP3->isEnabled());
  EXPECT_FALSE(form2->pmDelete->isEnabled());
  state.recording = false;
  state.CurrentFile.clear();
  form2->SGridFilesClick();
  EXPECT_FALSE(form2->pmDelete->isEnabled());
}

TEST_F(TForm2Test, RenameReplacesAnotherFileOnlyAfterYes) {
  ClickRow(RowOf("take.wav"));
  renameAnswer = "voice";
  form2->Commands.pmRenameClick();  // the script answers No
  EXPECT_EQ(asked, std::vector<std::string>{"take"});
  EXPECT_EQ(ui.questions, std::vector<std::string>{"Confirm: voice already exists.\nDo you want to replace it?"});
  EXPECT_EQ(folder.Read("take.wav").size(), 3000u);
  EXPECT_EQ(folder.Read("voice.wav").size(), 144u);
  EXPECT_EQ(state.CurrentFile, "take.wav");

  renameAnswer = "final";
  form2->Commands.pmRenameClick();
  EXPECT_FALSE(std::filesystem::exists(folder / "take.wav"));
  EXPECT_EQ(folder.Read("final.wav").size(), 3000u);
  EXPECT_EQ(state.CurrentFile, "final.wav");
  EXPECT_EQ(list.RowFile(form2->SGridFiles->SelectedRow()), "final.wav");

  ui.answers = {true};  // Yes replaces voice.wav with final.wav
  renameAnswer = "voice";
  form2->Commands.pmRenameClick();
  EXPECT_FALSE(std::filesystem::exists(folder / "final.wav"));
  EXPECT_EQ(folder.Read("voice.wav").size(), 3000u);
  EXPECT_EQ(state.CurrentFile, "voice.wav");

  // The file being recorded is never renamed.
  state.recording = true;
  renameAnswer = "other";
  form2->Commands.pmRenameClick();
  EXPECT_TRUE(std::filesystem::exists(folder / "voice.wav"));
  EXPECT_EQ(asked.size(), 3u);
}

TEST_F(TForm2Test, DeleteAsksAndOnlyYesDeletes) {
  ClickRow(RowOf("take.wav"));
  ui.answers = {false};
  form2->Commands.pmDeleteClick();
  ASSERT_EQ(ui.questions, std::vector<std::string>{"Delete File: Are you sure you want to delete take.wav?"});
  EXPECT_TRUE(std::filesystem::exists(folder / "take.wav"));
  EXPECT_EQ(list.Count, 3);

  ui.answers = {true};
  form2->Commands.pmDeleteClick();
  EXPECT_FALSE(std::filesystem::exists(folder / "take.wav"));
  EXPECT_EQ(state.CurrentFile, "");
  EXPECT_EQ(list.Count, 2);
  EXPECT_EQ(RowOf("take.wav"), 0);

  // A recording in progress is never deleted, and nobody is asked.
  state.recording = true;
  state.CurrentFile = folder.File("voice.wav");
  ui.answers = {true};
  form2->Commands.pmDeleteClick();
  EXPECT_TRUE(std::filesystem::exists(folder / "voice.wav"));
  EXPECT_EQ(ui.questions.size(), 2u);
}

TEST_F(TForm2Test, PositionBarSeeksAndFollowsPlayback) {
  ClickRow(RowOf("take.wav"));
  QTest::mouseDClick(form2->SGridFiles->viewport(), Qt::LeftButton, {},
                     form2->SGridFiles->visualRect(form2->SGridFiles->model()->index(RowOf("take.wav") - 1, 1)).center());
  ASSERT_TRUE(state.playing);
  EXPECT_EQ(player.Count("open waveaudio take.wav"), 1);

  player.SetPosition(2000);
  playback.PollPlayback();
  EXPECT_EQ(form2->TrackBarPosition->value(), 200);
  EXPECT_EQ(player.Count("seek"), 0);  // the tick's own move is no seek

  form2->TrackBarPosition->setValue(750);
  EXPECT_EQ(player.Count("seek"), 1);
  EXPECT_EQ(player.commands.back(), "seek 1 7500");
  EXPECT_EQ(form1.StatusInterval(), 1000u);

  ASSERT_TRUE(playback.OpenVolumeDevice());
  form2->TrackBarVolume->setValue(32768);
  EXPECT_EQ(volume.volume, 0x80008000u);
}

}  // namespace
}  // namespace tarnovox
