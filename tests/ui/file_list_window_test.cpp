// The file list window on real files in a temporary folder: picking a row
// describes the file, the header sorts, the menu follows the picked file, and
// rename, delete and the position bar act as the user expects.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QSlider>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "formats/wave_format.h"
#include "recordings/playback.h"
#include "tags/mp3_file_tags.h"
#include "tests/support/fake_output_volume.h"
#include "tests/support/fake_player.h"
#include "ui/marked_position_bar.h"
#include "tests/support/plain_tag_editor.h"
#include "tests/ui/ui_fixtures.h"
#include "ui/file_grid.h"
#include "ui/file_list_rules.h"
#include "ui/file_list_window.h"
#include "ui/main_playback_view.h"
#include "ui/main_window.h"
#include "ui/tag_editor_window.h"

namespace tarnovox {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using testing::Child;

class FileListWindowTest : public ::testing::Test, public testing::UiRig {
 protected:
  void SetUp() override {
    settings.listSort = {ListColumn::Date, SortOrder::Ascending};  // oldest first
    const auto header = MakeWaveHeader(WaveHeaderFields{1, 11025, 22050, 2, 16, 100});  // mono, oldest
    temp.WriteText("voice.wav", std::string(header.begin(), header.end()) + std::string(100, '\0'));
    struct timespec times[2] = {{1'600'000'000, 0}, {1'600'000'000, 0}};
    ::utimensat(AT_FDCWD, temp.File("voice.wav").c_str(), times, 0);
    temp.Write("music.wma", 4000, 1'600'000'200);
    temp.Write("take.wav", 3000, 1'600'000'300);
    player.lengths = {{"take.wav", std::chrono::milliseconds(10000)}};
    list.SortColumnForSort();
    fileList = std::make_unique<FileListWindow>(settings, state, list, sound, ui);
    view = std::make_unique<MainPlaybackView>(mainWindow, *fileList);
    sound.SetView(view.get());
    QObject::connect(&fileList->Commands(), &FileListCommands::mp3Picked, [this] { tags.DescribeMp3File(); });
    dialogAskText = fileList->Commands().askText;
    fileList->Commands().askText = [this](const std::string&, const std::string& initial) {
      asked.push_back(initial);
      return renameAnswer;
    };
    fileList->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fileList.get()));
  }
  void TearDown() override { sound.SetView(nullptr); }

  int RowOf(const std::string& name) const {
    for (int row = 1; row <= list.Count; ++row)
      if (list.RowFile(row) == name) return row;
    return 0;
  }
  FileGrid* Grid() const { return Child<FileGrid>(*fileList, "grid"); }
  QPoint CellOf(const std::string& name) const {
    return Grid()->visualRect(Grid()->model()->index(RowOf(name) - 1, 1)).center();
  }
  void ClickRow(const std::string& name) { QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, CellOf(name)); }
  // A 2000-byte MP3 the tag editor can tag.
  void WriteSong() { temp.WriteText("song.mp3", std::string("\xff\xfb\x90\x44", 4) + std::string(1996, '\0')); }
  struct : DriveInfo {
    bool IsCdRom(const std::string&) const override { return false; }
  } hardDisk;
  // Starts take.wav and pauses it as F7 would.
  void PlayAndPauseTake() {
    ClickRow("take.wav");
    sound.PlayPickedFile();
    sound.PausePlayback();
    state.mode = RecorderMode::PlayingPaused;
  }
  void Relist() { list.Rescan(); list.ApplySort(); }
  void ClickHeader(int x) { QTest::mouseClick(Grid()->Header()->viewport(), Qt::LeftButton, {}, {x, 8}); }
  Names Rows() const {
    Names rows;
    for (int row = 1; row <= list.Count; ++row) rows.push_back(Grid()->Cell(0, row).trimmed().toStdString());
    return rows;
  }
  std::string Described() const {
    return state.CurrentFile + " " + state.PickedFile + " " + std::to_string(state.FileChannels) + " " +
           std::to_string(state.FileSampleRate);
  }
  bool Enabled(const char* action) const { return Child<QAction>(*fileList, action)->isEnabled(); }
  // Rename, the three conversions (W all, ? some) and Delete, each enabled or not.
  std::string Menu() const {
    const int converts = Enabled("convertAction") + Enabled("convertFlacAction") + Enabled("convertOpusAction");
    return std::string(Enabled("renameAction") ? "R" : "-") + (converts == 3 ? "W" : converts ? "?" : "-") +
           (Enabled("deleteAction") ? "D" : "-");
  }
  void Trigger(const char* action) { Child<QAction>(*fileList, action)->trigger(); }
  QSlider* PositionBar() const { return Child<QSlider>(*fileList, "positionBar"); }
  static void SetTitle(TagEditorWindow& editor, const char* title) {
    Child<QLineEdit>(editor, "titleEdit")->setText(title);
  }

  testing::FakePlayer player;
  testing::FakeOutputVolume volume;
  Playback sound{player, volume, state, ui};
  RecordingsList list{state, settings};
  testing::PlainTagEditor editor;
  Mp3FileTags tags{state, editor, ui};
  MainWindow mainWindow{settings, state};
  std::unique_ptr<FileListWindow> fileList;
  std::unique_ptr<MainPlaybackView> view;
  std::optional<std::string> renameAnswer;
  FileListCommands::AskText dialogAskText;
  Names asked;
};

TEST_F(FileListWindowTest, SelectingARowDescribesTheWavOrMp3File) {
  ClickRow("voice.wav");
  EXPECT_EQ(Described(), "voice.wav voice.wav 1 11025");
  ClickRow("music.wma");  // picked but not read: the channel count falls back to 2
  EXPECT_EQ(Described(), "music.wma music.wma 2 11025");

  WriteSong();  // MPEG-1 joint stereo at 44100 Hz by its frame header
  Relist();
  ClickRow("song.mp3");
  EXPECT_EQ(Described(), "song.mp3 song.mp3 2 44100");

  // While a recording runs the highlight moves but nothing else does.
  state.mode = RecorderMode::Recording;
  ClickRow("take.wav");
  EXPECT_EQ(state.PickedFile, "song.mp3");
}

TEST_F(FileListWindowTest, HeaderClickSortsAndShowsTheSortedColumnPressed) {
  EXPECT_EQ(Rows(), (Names{"voice.wav", "music.wma", "take.wav"}));
  ClickHeader(60);  // well inside the Name column
  EXPECT_EQ(Rows(), (Names{"music.wma", "take.wav", "voice.wav"}));
  const QImage header = Grid()->Header()->grab().toImage();
  EXPECT_EQ(header.pixelColor(20, 12), QColor(0, 0, 208));  // pressed Name, not the Size colour 176
  ClickHeader(60);
  EXPECT_EQ(Rows(), (Names{"voice.wav", "take.wav", "music.wma"}));
  // Released next to a column border (the end of a width drag): no sort, but the widths are kept.
  Grid()->setColumnWidth(0, 150);
  ClickHeader(148);
  EXPECT_EQ(settings.listSort, (ListSort{ListColumn::Name, SortOrder::Descending}));
  EXPECT_EQ(settings.columnWidths[0], 150);
}

TEST_F(FileListWindowTest, MenuItemsFollowThePickedFile) {
  ClickRow("take.wav");
  EXPECT_EQ(Menu(), "RWD");
  ClickRow("music.wma");
  EXPECT_EQ(Menu(), "R-D");
  state.CurrentFile = "TAKE.Wav";  // counts as WAV
  EXPECT_TRUE(MenuStateFor(state).convert);
  state.mode = RecorderMode::Recording;  // a recording in progress allows nothing
  ClickRow("voice.wav");
  EXPECT_EQ(Menu(), "---");
  state.mode = RecorderMode::Monitoring;
  state.CurrentFile.clear();
  fileList->UpdateMenuForCurrentFile();
  EXPECT_FALSE(Enabled("deleteAction"));
}

// Ctrl-click and Ctrl+A take several rows: each conversion gets the selected
// files in grid order, and Delete asks once for all, deletes each file with
// its label file and names the one it could not delete.
TEST_F(FileListWindowTest, SeveralRowsAreConvertedAndDeletedTogether) {
  std::vector<std::pair<Names, ConversionTarget>> requests;
  QObject::connect(fileList.get(), &FileListWindow::convertRequested,
                   [&](const Names& files, ConversionTarget format) { requests.emplace_back(files, format); });
  ClickRow("voice.wav");
  QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, Qt::ControlModifier, CellOf("take.wav"));
  EXPECT_EQ(state.CurrentFile, "take.wav");  // the row clicked last is the current one
  fileList->UpdateMenuForCurrentFile();
  EXPECT_EQ(Menu(), "RWD");
  Trigger("convertFlacAction");
  Trigger("convertAction");
  QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, Qt::ControlModifier, CellOf("voice.wav"));
  Trigger("convertOpusAction");  // one row left: the current file
  EXPECT_EQ(requests, (std::vector<std::pair<Names, ConversionTarget>>{
                          {{"voice.wav", "take.wav"}, ConversionTarget::Flac},
                          {{"voice.wav", "take.wav"}, ConversionTarget::Mp3},
                          {{"take.wav"}, ConversionTarget::Opus}}));
  EXPECT_EQ(Child<QAction>(*fileList, "convertFlacAction")->text(), "Convert  to FLAC");
  EXPECT_EQ(Child<QAction>(*fileList, "convertOpusAction")->text(), "Convert  to Opus");

  temp.WriteText("voice.labels.txt", "1.000000\t1.000000\tMark 1\n");
  temp.WriteText("take.labels.txt", "2.000000\t2.000000\tMark 1\n");
  QTest::keyClick(Grid(), Qt::Key_A, Qt::ControlModifier);
  Trigger("deleteAction");  // the script answers No
  EXPECT_EQ(ui.questions, Names{"Delete File: Are you sure you want to delete 3 files?"});
  EXPECT_EQ(temp.Listing(), "music.wma:4000 take.labels.txt:25 take.wav:3000 voice.labels.txt:25 voice.wav:144 ");
  ui.answers = {true};
  ui.onAsk = [this] { fs::remove(temp.File("music.wma")); };  // gone meanwhile
  Trigger("deleteAction");
  EXPECT_EQ(ui.questions.size(), 2u);
  EXPECT_EQ(ui.messages, Names{"Cannot delete file \"music.wma\". No such file or directory"});
  EXPECT_EQ(temp.Listing(), "");
  EXPECT_EQ(list.Count, 0);
  EXPECT_EQ(state.CurrentFile, "");
}

TEST_F(FileListWindowTest, RenameAndDeleteAskFirstAndSpareTheRecording) {
  ClickRow("take.wav");
  renameAnswer = "voice";
  fileList->Commands().RenameCurrentFile();  // the script answers No: both files kept
  EXPECT_EQ(asked, Names{"take"});
  EXPECT_EQ(ui.questions, Names{"Confirm: voice already exists.\nDo you want to replace it?"});
  EXPECT_EQ(temp.Listing(), "music.wma:4000 take.wav:3000 voice.wav:144 ");
  EXPECT_EQ(state.CurrentFile, "take.wav");
  // A rename to a free name asks nothing: the journey scenario's.
  ui.answers = {true};  // Yes replaces voice.wav with take.wav
  fileList->Commands().RenameCurrentFile();
  EXPECT_EQ(temp.Listing(), "music.wma:4000 voice.wav:3000 ");
  EXPECT_EQ(state.CurrentFile, "voice.wav");
  EXPECT_EQ(list.RowFile(Grid()->SelectedRow()), "voice.wav");

  ui.questions.clear();
  fileList->Commands().DeleteCurrentFile();  // No
  ASSERT_EQ(ui.questions, Names{"Delete File: Are you sure you want to delete voice.wav?"});
  EXPECT_EQ(temp.Listing(), "music.wma:4000 voice.wav:3000 ");
  ui.answers = {true};
  fileList->Commands().DeleteCurrentFile();
  EXPECT_EQ(temp.Listing(), "music.wma:4000 ");
  EXPECT_EQ(state.CurrentFile, "");
  EXPECT_EQ(RowOf("voice.wav"), 0);

  // The file being recorded is never renamed or deleted, and nobody is asked.
  ClickRow("music.wma");
  state.mode = RecorderMode::Recording;
  renameAnswer = "other";
  fileList->Commands().RenameCurrentFile();
  state.CurrentFile = temp.File("music.wma");
  ui.answers = {true};
  fileList->Commands().DeleteCurrentFile();
  EXPECT_EQ(temp.Listing(), "music.wma:4000 ");
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_EQ(ui.questions.size(), 2u);
}

TEST_F(FileListWindowTest, PlayPlaysTheRowTheUserPointedAt) {
  TagEditorWindow editor3(settings, state, hardDisk, sound, list, ui);
  WriteSong();
  struct timespec old[2] = {{1'500'000'000, 0}, {1'500'000'000, 0}};
  ::utimensat(AT_FDCWD, temp.File("song.mp3").c_str(), old, 0);
  player.lengths["song.mp3"] = std::chrono::milliseconds(1000);
  Relist();
  // The save makes song.mp3 the newest file: the rescan moves it to the last row.
  ClickRow("song.mp3");
  SetTitle(editor3, "Saved");
  ASSERT_TRUE(editor3.SaveTag());
  EXPECT_EQ(Rows().back(), "song.mp3");
  EXPECT_EQ(list.RowFile(Grid()->SelectedRow()), "song.mp3");
  sound.PlayPickedFile();
  EXPECT_EQ(player.commands.front(), "open song.mp3");

  // A rescan left another file picked: a click on the highlighted row picks it again.
  state.PickedFile = "voice.wav";
  ClickRow("song.mp3");
  EXPECT_EQ(state.PickedFile, "song.mp3");
  EXPECT_TRUE(state.Playing());  // the playback of the current file goes on

  // A WAV file gone since the listing says why it cannot be described.
  fs::remove(temp.File("voice.wav"));
  ClickRow("voice.wav");
  EXPECT_EQ(ui.messages, Names{"Cannot open file \"voice.wav\". No such file or directory"});
}

TEST_F(FileListWindowTest, ClosingAPausedPlaybackEndsThePause) {
  TagEditorWindow editor3(settings, state, hardDisk, sound, list, ui);
  WriteSong();
  Relist();
  ui.answers = {true};
  const std::vector<std::function<void()>> actions = {
      [&] { renameAnswer = "renamed"; fileList->Commands().RenameCurrentFile(); },
      [&] { fileList->Commands().DeleteCurrentFile(); },
      [&] { state.CurrentFile = "song.mp3"; SetTitle(editor3, "T"); editor3.SaveTag(); }};
  for (const auto& action : actions) {
    temp.Write("take.wav", 3000, 1'600'000'300);
    Relist();
    PlayAndPauseTake();
    ASSERT_TRUE(state.Playing() && state.Paused());
    action();
    EXPECT_FALSE(state.Playing() || state.Paused());
  }
  EXPECT_EQ(temp.Listing(), "music.wma:4000 renamed.wav:3000 song.mp3:2128 take.wav:3000 voice.wav:144 ");
}

// Names that are not valid UTF-8 are shown, and kept, as the bytes they are.
TEST_F(FileListWindowTest, RenameKeepsAnUnchangedNameThatIsNotUtf8) {
  const std::string name = "caf\xe9";
  temp.Write(name + ".wav", 3000, 1'600'000'400);
  Relist();
  fileList->Commands().askText = dialogAskText;
  ClickRow(name + ".wav");
  ASSERT_EQ(state.CurrentFile, name + ".wav");
  testing::WhileOpen([] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->accept(); });
  fileList->Commands().RenameCurrentFile();
  EXPECT_EQ(temp.Listing(), "caf\xe9.wav:3000 music.wma:4000 take.wav:3000 voice.wav:144 ");
  EXPECT_EQ(state.CurrentFile, name + ".wav");
}

TEST_F(FileListWindowTest, PositionBarSeeksAndFollowsPlayback) {
  temp.WriteText("take.labels.txt", "8.250000\t8.250000\tMark 2\n3.000000\t3.000000\tMark 1\n");
  ClickRow("take.wav");
  QTest::mouseDClick(Grid()->viewport(), Qt::LeftButton, {}, CellOf("take.wav"));
  ASSERT_TRUE(state.Playing());
  EXPECT_EQ(player.Count("open take.wav"), 1);
  player.SetPosition(std::chrono::milliseconds(2000));
  sound.PollPlayback();
  EXPECT_EQ(PositionBar()->value(), 200);
  EXPECT_EQ(player.Count("seek"), 0);  // the tick's own move is no seek
  PositionBar()->setValue(750);
  EXPECT_EQ(player.Count("seek"), 1);
  EXPECT_EQ(player.commands.back(), "seek take.wav 7500");
  EXPECT_EQ(mainWindow.StatusInterval(), 1000u);
  // The marks tick the bar; Ctrl+Right and Ctrl+Left in the list go to them.
  EXPECT_EQ(static_cast<MarkedPositionBar*>(PositionBar())->Marks(), (std::vector<int>{300, 825}));
  Grid()->setFocus();
  QTest::keyClick(Grid(), Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(player.commands.back(), "seek take.wav 8250");
  QTest::keyClick(Grid(), Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(player.commands.back(), "seek take.wav 3000");
}

TEST_F(FileListWindowTest, TabLeavesTheGridForTheBarsAndTheTagButtonMarkingEach) {
  fileList->EnablePositionBar(true);
  const QStringList visited = testing::TabVisits(*fileList, Grid(), 4);
  EXPECT_EQ(visited.join(" ").toStdString(), "grid positionBar volumeBar tagEditorButton grid");
  // The grid's mark runs along the top of its well, after Tab only.
  Grid()->setFocus(Qt::TabFocusReason);
  EXPECT_GE(testing::SilverPixels(fileList->grab().toImage(), 31, 9, 387), 120);
  PositionBar()->setFocus(Qt::MouseFocusReason);
  Grid()->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(testing::SilverPixels(fileList->grab().toImage(), 31, 9, 387), 0);
}

}  // namespace
}  // namespace tarnovox
