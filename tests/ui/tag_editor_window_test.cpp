// The tag editor window driven through its fields and buttons: filling from a
// file's tag, when Save turns on, what a save writes (read back by ffprobe),
// the refusals, a failed save that must leave the file alone, and closing.
#include <signal.h>
#include <sys/resource.h>

#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "tests/support/sound_check.h"
#include "tests/ui/ui_fixtures.h"
#include "ui/skin_button.h"
#include "ui/tag_editor_window.h"

namespace tarnovox {
namespace {

class SettableDrive : public DriveInfo {
 public:
  bool IsCdRom(const std::string&) const override { return cdrom; }
  bool cdrom = false;
};

// 2000 bytes starting with an MPEG-1 joint-stereo frame header, optionally
// ending with a tag (title, then fixed artist, album, year, the comment, genre).
std::string Mp3Bytes(const std::string& title = {}, const std::string& comment = {}, uint8_t genre = 0) {
  std::string bytes(2000, '\0');
  bytes.replace(0, 4, "\xff\xfb\x90\x44", 4);
  if (title.empty()) return bytes;
  std::string tag = "TAG" + title;
  tag.resize(33, '\0');
  tag += std::string("Artist") + std::string(24, '\0') + "Album" + std::string(25, '\0') + "1999" + comment;
  tag.resize(127, '\0');
  return bytes.replace(bytes.size() - 128, 128, tag + static_cast<char>(genre));
}

class TagEditorWindowTest : public ::testing::Test, public testing::UiRig {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    temp.WriteText(name, bytes);
    return temp.File(name);
  }
  // What the file list does when a row is picked.
  void Pick(const std::string& file) {
    state.PickedFile = state.CurrentFile = file;
    editor.ClearFields();
    if (file.ends_with(".mp3")) editor.DescribePickedMp3();
    editor.DisableSave();
  }
  QLineEdit* Field(const char* name) const { return testing::Child<QLineEdit>(editor, name); }
  QComboBox* GenreBox() const { return testing::Child<QComboBox>(editor, "genreBox"); }
  SkinButton* Button(const char* name) const { return testing::Child<SkinButton>(editor, name); }
  QString Fields() const {
    return QStringList{Field("titleEdit")->text(), Field("artistEdit")->text(), Field("albumEdit")->text(),
                       Field("yearEdit")->text(), Field("commentEdit")->text(), GenreBox()->currentText()}
        .join("|");
  }

  SettableDrive drive;
  TagEditorWindow editor{settings, state, drive, playback, recordings, ui};
};

TEST_F(TagEditorWindowTest, FieldsComeFromTheTagAndSaveTurnsOnOnlyForMp3Edits) {
  Pick(Write("a.mp3", Mp3Bytes("Caf\xe9 Song", std::string(30, 'c'), 17)));
  EXPECT_EQ(Fields(), QString::fromUtf8("Café Song|Artist|Album|1999|") + QString(29, 'c') + "|Rock");
  EXPECT_EQ(editor.Text(TagField::EditTitle), "Caf\xe9 Song");
  EXPECT_FALSE(Button("saveButton")->isEnabled());
  Field("yearEdit")->setText("2001");
  EXPECT_TRUE(Button("saveButton")->isEnabled());
  // A genre byte past the table leaves the box empty; the previous file's texts are gone.
  Pick(Write("b.mp3", Mp3Bytes("B", "", 148)));
  EXPECT_EQ(Fields(), "B|Artist|Album|1999||");
  Pick(Write("c.wav", std::string(2000, '\0')));
  EXPECT_EQ(Fields(), "|||||");
  Field("titleEdit")->setText("typed");
  EXPECT_FALSE(Button("saveButton")->isEnabled());
}

TEST_F(TagEditorWindowTest, SaveWritesCutFieldsThatFfprobeReads) {
  const std::string file = temp.File("tone.mp3");
  ASSERT_EQ(testing::RunCommand("sox -n -r 44100 -c 2 t.wav synth 0.5 sine 440 && lame --quiet t.wav " + file +
                                " && echo ok"), "ok\n");
  Pick(file);
  const auto size = std::filesystem::file_size(file);
  playback.deviceOpen = true;
  state.mode = RecorderMode::Playing;
  Field("titleEdit")->setText(QString(40, 'T'));
  Field("artistEdit")->setText("Tester");
  Field("yearEdit")->setText("20245");
  Field("commentEdit")->setText(QString(30, 'c'));
  GenreBox()->setEditText("Acid Jazz");
  QTest::mouseClick(Button("saveButton"), Qt::LeftButton);
  EXPECT_EQ(playback.Count("ClosePlayback"), 1);
  EXPECT_EQ(recordings.calls, (std::vector<std::string>{"Rescan", "ApplySort"}));
  EXPECT_EQ(std::filesystem::file_size(file), size + 128);
  EXPECT_EQ(testing::RunCommand("ffprobe -v error -show_entries format_tags=title,artist,date,comment,genre "
                                "-of default=noprint_wrappers=1 " + file),
            "TAG:title=" + std::string(30, 'T') + "\nTAG:artist=Tester\nTAG:date=2024\nTAG:comment=" +
                std::string(30, 'c') + "\nTAG:genre=Acid Jazz\n");
  EXPECT_TRUE(ui.messages.empty());
  Pick(file);  // read back: the comment's last byte is not, unused bytes are no text
  EXPECT_EQ(Fields(), QString(30, 'T') + "|Tester||2024|" + QString(29, 'c') + "|Acid Jazz");
}

TEST_F(TagEditorWindowTest, RefusedOrFailedSavesLeaveTheFilesAsTheyWere) {
  Pick(Write("a.mp3", Mp3Bytes()));
  Field("titleEdit")->setText("x");
  state.mode = RecorderMode::Recording;
  EXPECT_FALSE(editor.SaveTag());
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"Cannot save the tag while recording"}));
  state.mode = RecorderMode::Monitoring;
  drive.cdrom = true;
  EXPECT_FALSE(editor.SaveTag());
  EXPECT_EQ(ui.messages.back(), "Cannot save to CDROM drive");
  drive.cdrom = false;
  // Save still on from the MP3 while the current file became a WAV.
  state.CurrentFile = Write("b.wav", std::string(2000, 'w'));
  EXPECT_FALSE(editor.SaveTag());
  EXPECT_TRUE(temp.ReadText("a.mp3") == Mp3Bytes()) << "the MP3 changed";
  EXPECT_TRUE(temp.ReadText("b.wav") == std::string(2000, 'w')) << "the WAV changed";

  // A failed save shows why and leaves the file as it was: the size limit
  // lets 50 of the 128 tag bytes through.
  Pick(Write("full.mp3", Mp3Bytes()));
  Field("titleEdit")->setText("x");
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const rlimit limited{Mp3Bytes().size() + 50, saved.rlim_max};
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &limited);
  const bool savedOk = editor.SaveTag();
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(savedOk);
  EXPECT_EQ(ui.messages.back(), "Stream write error");
  EXPECT_TRUE(temp.ReadText("full.mp3") == Mp3Bytes()) << "the file's bytes changed";
  EXPECT_TRUE(recordings.calls.empty());
}

TEST_F(TagEditorWindowTest, CloseButtonHidesAndOneToggleShowsAgain) {
  editor.ToggleAt(QPoint(300, 40));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
  QTest::mouseClick(Button("closeButton"), Qt::LeftButton);
  EXPECT_FALSE(editor.isVisible());
  EXPECT_FALSE(editor.Shown());
  editor.ToggleAt(QPoint(310, 50));
  EXPECT_TRUE(editor.isVisible());
  EXPECT_EQ(editor.pos(), QPoint(310, 50));
  editor.ToggleAt(QPoint(310, 50));
  EXPECT_FALSE(editor.isVisible());
  // Escape in a field closes it too.
  editor.ToggleAt(QPoint(310, 50));
  QTest::keyClick(Field("yearEdit"), Qt::Key_Escape);
  EXPECT_FALSE(editor.isVisible());
  EXPECT_EQ(Field("yearEdit")->accessibleName(), "Year");
}

}  // namespace
}  // namespace tarnovox
